#include "convert/reasons.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace orvella {
namespace {

#ifndef _WIN32
struct ReasonCase {
  int code;
  const char* text;
};

// The system's numbers reach the user as Japanese words; an unknown one keeps its number.
TEST(ReasonText, SaysWhyInJapaneseAndKeepsUnknownNumbers) {
  const ReasonCase cases[] = {
      {ENOSPC, "ディスクの空き容量が足りません"},
      {EFBIG, "ファイルの大きさが上限を超えました"},
      {EACCES, "アクセスする権限がありません"},
      {EPERM, "アクセスする権限がありません"},
      {ENOENT, "ファイルまたはフォルダが見つかりません"},
      {ENOTDIR, "ファイルまたはフォルダが見つかりません"},
      {EISDIR, "フォルダです"},
      {EROFS, "読み取り専用です"},
      {ENAMETOOLONG, "名前が長すぎます"},
      {EILSEQ, "システムが受け付けない名前です"},
      {EIO, nullptr},
  };
  for (const auto& c : cases) {
    const std::string expected = c.text ? c.text : "システムエラー " + std::to_string(c.code);
    EXPECT_EQ(reasonText(platform::fromCode(c.code)), expected) << "errno " << c.code;
  }
}
#endif

}  // namespace
}  // namespace orvella
