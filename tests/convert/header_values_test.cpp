#include "convert/header_values.hpp"

#include <gtest/gtest.h>

#include <string>

#include "core/utf.hpp"

namespace orvella {
namespace {

// One rule for every control: refused as UTF-8 (the command line), a space in the window.
TEST(HeaderValues, ControlsButTabAreRefusedOrBecomeSpaces) {
  struct Row {
    std::u16string value;
    std::u16string safe;
  };
  const Row rows[] = {
      {u"plain 件名\tTAB", u"plain 件名\tTAB"},
      {u"a\r\nEND:VMSG", u"a  END:VMSG"},
      {u"x\x1b[0m", u"x [0m"},
      {u"del\x7f", u"del "},
      {u"nel\x85|\x80|\x9f", u"nel | | "},
      {u"\xa0\xa9\x7e", u"\xa0\xa9\x7e"},  // just past the controls
  };
  for (const Row& row : rows) {
    const std::string utf8 = utf16ToUtf8(row.value);
    SCOPED_TRACE(utf8);
    EXPECT_EQ(headerSafe(row.value), row.safe);
    EXPECT_EQ(isHeaderSafe(row.value), row.value == row.safe);
    EXPECT_EQ(isHeaderSafe(utf8), row.value == row.safe);
  }
}

}  // namespace
}  // namespace orvella
