// The one table of names every test of names at the edges runs through: four
// that code page 936 cannot write (a German ö, a trademark sign, a Korean
// word, an emoji that UTF-16 writes as a surrogate pair), two it can, and the
// decoy that a '?' in place of the ö would also name. Seven invoices, as a
// user's folder holds them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quellor::testing {

// A UTF-8 literal as the bytes the program holds names in (on Windows; on
// POSIX under a UTF-8 locale).
inline std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

struct InvoiceName {
  std::string name;  // UTF-8
  bool fits_code_page_936;
};

inline const std::vector<InvoiceName>& SevenInvoices() {
  static const std::vector<InvoiceName> names = {
      {Utf8(u8"J\u00F6rg-Rechnung.pdf"), false},
      {Utf8(u8"Produkt\u2122-Rechnung.pdf"), false},
      {Utf8(u8"\uD55C\uAD6D-Rechnung.txt"), false},
      {Utf8(u8"Rechnung-\U0001F600.txt"), false},
      {Utf8(u8"\u62A5\u544A-Rechnung.txt"), true},
      {"Rechnung-2024.pdf", true},
      {"Jxrg-Rechnung.pdf", true},
  };
  return names;
}

inline const std::string kDecoy = "Jxrg-Rechnung.pdf";
inline const std::string kJoerg = Utf8(u8"J\u00F6rg-Rechnung.pdf");
// Folders that code page 936 cannot name.
inline const std::string kJoergFolder = Utf8(u8"J\u00F6rg");
inline const std::string kKoreanFolder = Utf8(u8"\uD55C\uAD6D");

}  // namespace quellor::testing
