// The conversion's own messages (UTF-8), spelled once.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace orvella::texts {

// A message with "{name}" marks, each filled with its value: the numbers in messages come from
// the rules' own homes, not from the text.
inline std::string fillIn(std::string_view text,
                          std::initializer_list<std::pair<std::string_view, std::string>> values) {
  std::string out;
  while (!text.empty()) {
    const std::size_t open = text.find('{');
    const std::size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + 1, close - open - 1);
    out.append(text.substr(0, open));
    bool known = false;
    for (const auto& [mark, value] : values) {
      if (mark != name) continue;
      out.append(value);
      known = true;
      break;
    }
    if (!known) out.append(text.substr(open, close - open + 1));
    text.remove_prefix(close + 1);
  }
  out.append(text);
  return out;
}

inline constexpr std::string_view kWriteError = "書き込み中にエラーが発生しました。";
inline constexpr std::string_view kCancelled = "変換をキャンセルします。";
inline constexpr std::string_view kCompleted = "ファイルの変換が完了しました！";
inline constexpr std::string_view kFolderTitle = "出力先のフォルダを選択してください。";

// Stops and failures; the driver and failureText join these with file names and counts.
inline constexpr std::string_view kInvalidLimit =
    "最大バイト数が正しくありません。1 から 2147483647 までの整数を指定してください。";
inline constexpr std::string_view kInputOpenFailed = "入力ファイルを開けませんでした。";
inline constexpr std::string_view kInputReadFailed = "入力ファイルの読み込み中にエラーが発生しました。";
inline constexpr std::string_view kStoppedAtBytePrefix = "先頭から ";
inline constexpr std::string_view kStoppedAtByteSuffix = " バイトまでを変換したところで中止しました。";
inline constexpr std::string_view kNumbersOut = "ファイル番号が {last} に達したため、変換を中止しました。";
inline constexpr std::string_view kSerialsOut =
    "Subject の通し番号が {last} に達したため、変換を中止しました。";
inline constexpr std::string_view kLastFilePrefix = "最後のファイルは ";
inline constexpr std::string_view kLastFileSuffix = " です。";
inline constexpr std::string_view kNoFileWritten = "ファイルは作成されていません。";
inline constexpr std::string_view kRestNotConverted = "残りのテキストは変換されていません。";
inline constexpr std::string_view kHeaderBreaks =
    " に改行などの制御文字が含まれています。ヘッダーが壊れるため変換しません。";
inline constexpr std::string_view kHeaderTooLong =
    " が長すぎます (バイト数の上限を超えています)。変換しません。";
inline constexpr std::string_view kFolderNotWritable = "出力先のフォルダに書き込めません。";
inline constexpr std::string_view kFolderBusy =
    "このフォルダには別の変換が書き込み中です。終わってからもう一度実行してください。";
inline constexpr std::string_view kInputIsOutput =
    "入力ファイルが、この変換で書き込むファイルの一つです。入力ファイルを上書きしてしまうため変換しません。";
inline constexpr std::string_view kRecordTooLarge =
    "1 つのファイルが大きくなりすぎる (2 GiB を超える) 行があるため、変換を中止しました。";
inline constexpr std::string_view kSyncFailed = "書き込んだファイルをディスクに確実に保存できませんでした。";
inline constexpr std::string_view kAllWritten = "すべてのファイルを書き込みました。";
inline constexpr std::string_view kUnconfirmed = "ただし、ディスクへの保存を確認できなかったものがあります:";
inline constexpr std::string_view kLeftoversPrefix = "以前の変換で作られた ";
inline constexpr std::string_view kLeftoversMiddle = " ～ ";
inline constexpr std::string_view kLeftoversSuffix = " が残っています (今回の変換では変更していません)。";

// Input encodings as the user sees them.
inline constexpr std::string_view kEncodingCp932 = "Shift_JIS (CP932)";
inline constexpr std::string_view kEncodingUtf8 = "UTF-8";
inline constexpr std::string_view kEncodingUtf16Le = "UTF-16LE";
inline constexpr std::string_view kEncodingUtf16Be = "UTF-16BE";
inline constexpr std::string_view kWithMark = " (BOM 付き)";

// What was learned about the input: its encoding, the '?' written, lines that look like structure.
inline constexpr std::string_view kReadAs = "入力の文字コード: ";
inline constexpr std::string_view kNoteSeparator = "、";
inline constexpr std::string_view kSubstitutedPrefix = "? に置き換えた文字: ";
inline constexpr std::string_view kSubstitutedSuffix = " 個";
inline constexpr std::string_view kGaijiPrefix = "〓 に置き換えた外字 (Shift_JIS にない文字): ";
inline constexpr std::string_view kUnmappedCount = "Shift_JIS にない文字 ";
inline constexpr std::string_view kInvalidCount = "文字コードとして正しくないバイト列 ";
inline constexpr std::string_view kLinePrefix = "  ";
inline constexpr std::string_view kLineSuffix = " 行目: ";
inline constexpr std::string_view kInvalidBytes = "正しくないバイト列";
inline constexpr std::string_view kStructurePrefix =
    "vMessage の区切りと読まれるおそれのある本文の行 (BEGIN: / END:): ";
inline constexpr std::string_view kLinesSuffix = " 行";
inline constexpr std::string_view kMorePrefix = "  ほか ";

// A record read back: what is wrong with it.
inline constexpr std::string_view kBlankLine = "空行";
inline constexpr std::string_view kListSeparator = "、";
inline constexpr std::string_view kRecordUnreadable = "読み込めません: ";
inline constexpr std::string_view kRecordNotAFile = "ファイルではありません。";
inline constexpr std::string_view kRecordHeaderLine = "{line} 行目が「{text}」ではありません。";
inline constexpr std::string_view kRecordHeaderBlank = "{line} 行目が空行ではありません。";
inline constexpr std::string_view kRecordHeaderStart = "{line} 行目が「{text}」で始まっていません。";
inline constexpr std::string_view kRecordLineEnd = "{line} 行目の改行が CR LF ではありません。";
inline constexpr std::string_view kRecordEndsInHeader = "ヘッダーの途中 ({line} 行目) で終わっています。";
inline constexpr std::string_view kRecordCutLine =
    "最後の {line} 行目が改行なしで終わっています (途中で切れています)。";
inline constexpr std::string_view kRecordNoFooter = "終わりの {count} 行 ({lines}) がありません。";
inline constexpr std::string_view kRecordAfterFooter =
    "終わりの {count} 行のあと、{line} 行目にも続きがあります。";

// --verify: what a folder of records holds.
inline constexpr std::string_view kNone = "なし";
inline constexpr std::string_view kFilesSuffix = " 個";
inline constexpr std::string_view kVerifyFolderUnreadable = "フォルダを読み込めません: ";
inline constexpr std::string_view kVerifyNoRecords = "{name} の形の名前のファイルがありません。";
inline constexpr std::string_view kVerifySeries = "連番: {first} 〜 {last} ({count} 個)";
inline constexpr std::string_view kVerifyHoles = "欠番: ";
inline constexpr std::string_view kVerifyStrays = "連番の名前ではないもの: ";
inline constexpr std::string_view kVerifyDamaged = "Orvella の書く形になっていないファイル: ";
inline constexpr std::string_view kVerifyLargest = "最大のファイル: ";
inline constexpr std::string_view kVerifySize =
    "{name} (数えたバイト数 {counted}、ファイルの大きさ {bytes} バイト)";
inline constexpr std::string_view kVerifyOverLimit = "最大バイト数 {limit} を超えるファイル: ";
inline constexpr std::string_view kVerifyDates = "Date が番号の順になっていないファイル: ";
inline constexpr std::string_view kVerifyDateBefore = "{name} (Date が {before} より前)";
inline constexpr std::string_view kVerifyDateUnreadable = " (Date が日時として読めない)";

// --join: why the text could not be put back together.
inline constexpr std::string_view kJoinHole =
    "{name} がありません (欠番)。連番が途切れているため連結しません。";
inline constexpr std::string_view kJoinWriteFailed = "連結したテキストを書き出せませんでした: ";

}  // namespace orvella::texts
