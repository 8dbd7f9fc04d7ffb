#include "convert/header_values.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/utf.hpp"

namespace orvella {
namespace {

// One rule for every control: refused as UTF-8 (the command line), a space in the window.
TEST(HeaderValues, ControlsButTabAreRefusedOrBecomeSpaces) {
  // A value and what the window makes of it.
  const std::pair<std::u16string, std::u16string> rows[] = {
      {u"plain 件名\tTAB", u"plain 件名\tTAB"},
      {u"a\r\nEND:VMSG", u"a  END:VMSG"},
      {u"x\x1b[0m", u"x [0m"},
      {u"del\x7f", u"del "},
      {u"nel\x85|\x80|\x9f", u"nel | | "},
      {u"\xa0\xa9\x7e", u"\xa0\xa9\x7e"}};  // just past the controls
  for (const auto& [value, safe] : rows) {
    const std::string utf8 = utf16ToUtf8(value);
    SCOPED_TRACE(utf8);
    EXPECT_EQ(headerSafe(value), safe);
    EXPECT_EQ(isHeaderSafe(value), value == safe);
    EXPECT_EQ(isHeaderSafe(utf8), value == safe);
  }
}

}  // namespace
}  // namespace orvella
