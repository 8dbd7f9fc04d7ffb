#include "convert/reasons.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

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
      {EROFS, "ドライブが書き込み禁止になっています"},
      {ENAMETOOLONG, "名前が長すぎます"},
      {EILSEQ, "システムが受け付けない名前です"},
      {EDOM, nullptr},
  };
  for (const auto& c : cases) {
    const std::string expected =
        c.text ? c.text : "予期しないエラーです (システムエラー " + std::to_string(c.code) + ")";
    EXPECT_EQ(reasonText(platform::fromCode(c.code)), expected) << "errno " << c.code;
  }
}
#endif

// Whatever stops a read or a write has words of its own (no system number), one kind per wording.
TEST(ReasonText, EveryFailureOfReadingOrWritingHasItsOwnWords) {
#ifdef _WIN32
  const int met[] = {ERROR_DISK_FULL,
                     ERROR_NOT_ENOUGH_QUOTA,
                     ERROR_FILE_TOO_LARGE,
                     ERROR_ACCESS_DENIED,
                     ERROR_SHARING_VIOLATION,
                     ERROR_PATH_NOT_FOUND,
                     ERROR_WRITE_PROTECT,
                     ERROR_FILENAME_EXCED_RANGE,
                     ERROR_INVALID_NAME,
                     ERROR_FILE_EXISTS,
                     ERROR_CRC,
                     ERROR_NOT_READY,
                     ERROR_TOO_MANY_OPEN_FILES,
                     ERROR_NOT_ENOUGH_MEMORY,
                     ERROR_INVALID_FUNCTION,
                     ERROR_CANT_RESOLVE_FILENAME};
#else
  const int met[] = {ENOSPC, EDQUOT, EFBIG, EACCES, EBUSY,  ENOENT, EROFS,      ENAMETOOLONG,
                     EINVAL, EEXIST, EIO,   ESTALE, EMFILE, ENOMEM, EOPNOTSUPP, ELOOP};
#endif
  std::set<std::string> texts;
  for (const int code : met) {
    const std::string text = reasonText(platform::fromCode(code));
    EXPECT_EQ(text, reasonText(platform::SystemError{platform::fromCode(code).kind, 0})) << code;
    EXPECT_TRUE(texts.insert(text).second) << code << " says what another says: " << text;
  }
}

}  // namespace
}  // namespace orvella
