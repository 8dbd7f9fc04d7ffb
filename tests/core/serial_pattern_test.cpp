#include "core/serial_pattern.hpp"

#include <gtest/gtest.h>

#include <string>

#include "core/utf.hpp"

namespace orvella {
namespace {

struct PatternCase {
  const char16_t* pattern;
  long long number;
  const char16_t* expected;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
  *os << '"' << utf16ToUtf8(c.pattern) << "\" " << c.number;
}

class SerialPattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(SerialPattern, ShowsTheNumberAsThePatternSays) {
  const PatternCase& c = GetParam();
  EXPECT_EQ(utf16ToUtf8(formatWholeNumber(c.number, c.pattern)), utf16ToUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SerialPattern,
    ::testing::Values(
        // Zero and hash positions; extra digits go left.
        PatternCase{u"000", 0, u"000"}, PatternCase{u"000", 7, u"007"}, PatternCase{u"000", 1234, u"1234"},
        PatternCase{u"", 12, u"12"}, PatternCase{u"", 0, u"0"}, PatternCase{u"#", 0, u""},
        PatternCase{u"##0", 0, u"0"}, PatternCase{u"0-00", 5, u"0-05"},
        // The fraction: zeros for its '0' positions, nothing for '#'; the point stays.
        PatternCase{u"0.0", 1, u"1.0"}, PatternCase{u"0.00", 3, u"3.00"}, PatternCase{u"0.#", 3, u"3."},
        PatternCase{u".000", 7, u"7.000"}, PatternCase{u"0.0.0", 2, u"2.0.0"},
        // Thousands, only between digit positions.
        PatternCase{u"#,##0", 1234, u"1,234"}, PatternCase{u"#,##0", 7, u"7"}, PatternCase{u"#,##0", 0, u"0"},
        PatternCase{u"#,##0", 1234567, u"1,234,567"}, PatternCase{u"#,#", 1234, u"1,234"},
        PatternCase{u"#,##0.00", 32767, u"32,767.00"}, PatternCase{u"0,", 5, u"5,"},
        PatternCase{u",0", 5, u",5"},
        // Percent multiplies, once per sign.
        PatternCase{u"0%", 7, u"700%"}, PatternCase{u"00%%", 7, u"70000%%"}, PatternCase{u"0%", 0, u"0%"},
        // Sections: positive; negative; zero.
        PatternCase{u"000;;ゼロ", 0, u"ゼロ"}, PatternCase{u"000;;ゼロ", 5, u"005"},
        PatternCase{u"000;;", 0, u"000"}, PatternCase{u"000;x", 0, u"000"}, PatternCase{u";;zero", 5, u"5"},
        PatternCase{u";;zero", 0, u"zero"}, PatternCase{u"0;(0)", -5, u"(5)"}, PatternCase{u"00", -5, u"-05"},
        // Literal text: escapes, quotes, anything else as it stands.
        PatternCase{u"第0話", 3, u"第3話"}, PatternCase{u"\\#0", 5, u"#5"},
        PatternCase{u"\"No.\"000", 5, u"No.005"}, PatternCase{u"'No.'000", 5, u"No.005"},
        PatternCase{u"0\\;0", 5, u"0;5"}, PatternCase{u"\"a;b\"0", 5, u"a;b5"},
        PatternCase{u"0\"abc", 5, u"5abc"}, PatternCase{u"0\\", 5, u"5"}, PatternCase{u"abc", 9, u"abc"},
        PatternCase{u"(00)", 5, u"(05)"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace orvella
