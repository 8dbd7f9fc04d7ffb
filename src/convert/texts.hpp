// The conversion's own messages (UTF-8), spelled once.
#pragma once

#include <string_view>

namespace orvella::texts {

inline constexpr std::string_view kWriteError = "書き込み中にエラーが発生しました。";
inline constexpr std::string_view kCancelled = "変換をキャンセルします。";
inline constexpr std::string_view kCompleted = "ファイルの変換が完了しました！";
inline constexpr std::string_view kFolderTitle = "出力先のフォルダを選択してください。";

// Stops and failures; the driver joins these with file names and counts.
inline constexpr std::string_view kInvalidLimit =
    "最大バイト数が正しくありません。1 から 2147483647 までの整数を指定してください。";
inline constexpr std::string_view kInputOpenFailed = "入力ファイルを開けませんでした。";
inline constexpr std::string_view kInputReadFailed = "入力ファイルの読み込み中にエラーが発生しました。";
inline constexpr std::string_view kStoppedAtBytePrefix = "先頭から ";
inline constexpr std::string_view kStoppedAtByteSuffix = " バイトまでを変換したところで中止しました。";
inline constexpr std::string_view kNumbersOut =
    "ファイル番号が 9999 に達したため、変換を中止しました。";
inline constexpr std::string_view kSerialsOut =
    "Subject の通し番号が 32767 に達したため、変換を中止しました。";
inline constexpr std::string_view kLastFilePrefix = "最後のファイルは ";
inline constexpr std::string_view kLastFileSuffix = " です。";
inline constexpr std::string_view kNoFileWritten = "ファイルは作成されていません。";
inline constexpr std::string_view kRestNotConverted = "残りのテキストは変換されていません。";
inline constexpr std::string_view kHeaderBreaks =
    " に改行などの制御文字が含まれています。ヘッダーが壊れるため変換しません。";
inline constexpr std::string_view kFolderNotWritable = "出力先のフォルダに書き込めません。";
inline constexpr std::string_view kFolderBusy =
    "このフォルダには別の変換が書き込み中です。終わってからもう一度実行してください。";
inline constexpr std::string_view kInputIsOutput =
    "入力ファイルが、この変換で書き込むファイルの一つです。入力ファイルを上書きしてしまうため変換しません。";
inline constexpr std::string_view kRecordTooLarge =
    "1 つのファイルが大きくなりすぎる (2 GiB を超える) 行があるため、変換を中止しました。";
inline constexpr std::string_view kSyncFailed =
    "書き込んだファイルをディスクに確実に保存できませんでした。";
inline constexpr std::string_view kLeftoversPrefix = "以前の変換で作られた ";
inline constexpr std::string_view kLeftoversMiddle = " 〜 ";
inline constexpr std::string_view kLeftoversSuffix = " が残っています (今回の変換では変更していません)。";

}  // namespace orvella::texts
