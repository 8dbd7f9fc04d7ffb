// The conversion's own messages (UTF-8), spelled once.
#pragma once

#include <string_view>

namespace orvella::texts {

inline constexpr std::string_view kWriteError = "書き込み中にエラーが発生しました。";
inline constexpr std::string_view kCancelled = "変換をキャンセルします。";
inline constexpr std::string_view kCompleted = "ファイルの変換が完了しました！";
inline constexpr std::string_view kFolderTitle = "出力先のフォルダを選択してください。";

}  // namespace orvella::texts
