// The system's converters: every character kept or the conversion refused,
// never a '?' or a best fit in its place.
#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace quellor::platform {
namespace {

constexpr std::u16string_view kReport = u"报告";
constexpr std::string_view kReportUtf8 = "\xE6\x8A\xA5\xE5\x91\x8A";
constexpr std::string_view kReportGbk = "\xB1\xA8\xB8\xE6";

TEST(TextEncoding, ConvertsChineseBetweenEveryEncoding) {
  EXPECT_EQ(DecodeText(kReportUtf8, TextEncoding::Utf8), kReport);
  EXPECT_EQ(DecodeText(kReportGbk, TextEncoding::Ansi), kReport);
  EXPECT_EQ(DecodeText(std::string_view("\xA5\x62\x4A\x54", 4), TextEncoding::Utf16Le), kReport);
  EXPECT_EQ(DecodeText(std::string_view("\x62\xA5\x54\x4A", 4), TextEncoding::Utf16Be), kReport);
  EXPECT_EQ(EncodeText(kReport, TextEncoding::Utf8), kReportUtf8);
  EXPECT_EQ(EncodeText(kReport, TextEncoding::Ansi), kReportGbk);
  EXPECT_EQ(EncodeText(kReport, TextEncoding::Utf16Be), std::string("\x62\xA5\x54\x4A", 4));
  EXPECT_EQ(EncodeText(u"IMG_0001 \u20AC", TextEncoding::Ansi), "IMG_0001 \x80");  // the euro sign of 936
  // A character beyond the basic plane, as a surrogate pair.
  EXPECT_EQ(DecodeText("\xF0\x9F\x98\x80", TextEncoding::Utf8), u"\U0001F600");
  EXPECT_EQ(EncodeText(u"\U0001F600", TextEncoding::Utf8), "\xF0\x9F\x98\x80");
  EXPECT_EQ(DecodeText("", TextEncoding::Ansi), u"");
  EXPECT_EQ(EncodeText(u"", TextEncoding::Utf8), "");
}

TEST(TextEncoding, RefusesInvalidBytesAndUnrepresentableCharacters) {
  EXPECT_FALSE(DecodeText("a\xC3", TextEncoding::Utf8));              // cut sequence
  EXPECT_FALSE(DecodeText("\xC0\xAF", TextEncoding::Utf8));           // overlong '/'
  EXPECT_FALSE(DecodeText("\xED\xA0\x80", TextEncoding::Utf8));       // encoded surrogate
  EXPECT_FALSE(DecodeText("\xB1\xA8\xB8", TextEncoding::Ansi));       // lead byte at the end
  EXPECT_FALSE(DecodeText("\x81\x20", TextEncoding::Ansi));           // no trail byte
  EXPECT_FALSE(DecodeText("abc", TextEncoding::Utf16Le));             // odd length
  EXPECT_FALSE(DecodeText(std::string_view("\x00\xD8\x41\x00", 4), TextEncoding::Utf16Le));  // lone surrogate
  // Korean, an emoji and a letter with a ring are outside GBK: refused, not
  // turned into '?' or a plain 'A'.
  EXPECT_FALSE(EncodeText(u"\uD55C", TextEncoding::Ansi));
  EXPECT_FALSE(EncodeText(u"a\U0001F600", TextEncoding::Ansi));
  EXPECT_FALSE(EncodeText(u"\u00C5", TextEncoding::Ansi));
  EXPECT_FALSE(EncodeText(std::u16string(1, char16_t{0xDC00}), TextEncoding::Utf8));
  EXPECT_FALSE(EncodeText(std::u16string(1, char16_t{0xD800}), TextEncoding::Utf16Le));
}

}  // namespace
}  // namespace quellor::platform
