// The ledger's rows (the quoting is files/csv_text's, tested with the export).
#include <gtest/gtest.h>

#include "cli/ledger.h"

namespace quellor::cli {
namespace {

TEST(Ledger, OneRowPerNameInOrderQuotedWhereNeeded) {
  // A GBK names file: the ledger is UTF-8 all the same.
  const files::NamesFile file = files::ReadNamesFile("\xB1\xA8\xB8\xE6\r\n\r\na,\"b\"\r\nbad\x81\r\n");
  ASSERT_EQ(file.names.size(), 3u);
  const std::string hit = *file.names[0].searched + ".txt";
  const std::string ledger = LedgerText(file, {{2, hit}, {0, ""}, {0, ""}});
  EXPECT_EQ(ledger.substr(0, 3), "\xEF\xBB\xBF");
  const std::string rows = ledger.substr(ledger.find("\r\n") + 2);
  EXPECT_EQ(rows.substr(0, rows.find("\r\n")), "\xE6\x8A\xA5\xE5\x91\x8A,1,2,\xE6\x8A\xA5\xE5\x91\x8A.txt,");
  EXPECT_NE(rows.find("\r\n\"a,\"\"b\"\"\",3,0,,\r\n"), std::string::npos) << rows;
  EXPECT_NE(rows.find("bad<81>,4,0,,it is not valid"), std::string::npos) << rows;
  EXPECT_EQ(rows.substr(rows.size() - 2), "\r\n");
}

}  // namespace
}  // namespace quellor::cli
