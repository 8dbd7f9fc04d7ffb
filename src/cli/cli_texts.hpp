// The command line's own messages (UTF-8), spelled once.
#pragma once

#include <string_view>

namespace orvella::cli_texts {

inline constexpr std::string_view kProgram = "orvella-convert";

inline constexpr std::string_view kUsage =
    "使い方: orvella-convert [オプション] 入力ファイル...\n"
    "       orvella-convert --check [オプション] 入力ファイル...\n"
    "       orvella-convert --verify フォルダ [--max-bytes N]\n"
    "       orvella-convert --join フォルダ [-o ファイル]\n"
    "テキストファイルを番号付きの vMessage ファイル (E1__0000.VMG ...) に分割します。\n"
    "入力ファイルを複数指定すると、順に 1 つの連番として書き込みます (ファイル番号と通し番号は\n"
    "続きから、Subject はそれぞれのファイル名から)。\n"
    "入力は Shift_JIS (CP932)、UTF-8 (BOM の有無を問わない)、BOM 付きの UTF-16 を読み、\n"
    "出力は常に Shift_JIS です。\n"
    "\n"
    "  -o, --output DIR      .VMG ファイルを書き込むフォルダ (既存のもの)\n"
    "      --subject TEXT    Subject (既定: 入力ファイル名から拡張子を除いたもの)\n"
    "      --no-serial       Subject に \"-\" と通し番号を付けない\n"
    "      --format PATTERN  通し番号の書式 (既定: {pattern})\n"
    "      --serial N        最初の通し番号 (既定: 0、0～{lastSerial})\n"
    "      --from ADDR       From (既定: 組み込みの送信者アドレス)\n"
    "      --to ADDR         To (既定: 空)\n"
    "      --max-bytes N     1 ファイルの最大バイト数 (既定: {maxBytes})\n"
    "      --start N         最初のファイル番号 (既定: 0、0～{lastNumber})\n"
    "      --date TEXT       すべてのファイルの Date (例: \"Wed, 11 Feb 2004 05:15:55 +0900\"、\n"
    "                        既定: ファイルごとに現在時刻)\n"
    "      --encoding NAME   入力の文字コード: auto (既定、自動判別), cp932, utf-8,\n"
    "                        utf-16le, utf-16be\n"
    "      --aozora MODE     青空文庫の注記: keep (既定、そのまま), strip (ルビと注記を外す),\n"
    "                        bracket (ルビを括弧で残し、注記を外す)。strip と bracket は冒頭の\n"
    "                        記号の説明も外し、外字の注記をその文字 (Shift_JIS にない字は 〓) に\n"
    "      --date-step N     ファイルごとに Date を N 秒ずつ進める (既定: 0、0～{maxDateStep})\n"
    "      --wrap            1 ファイルに収まらない長い行を文字の境目で折り返す (。、」などの後を優先)\n"
    "      --break-at-headings\n"
    "                        見出しの行から新しいファイルにする (青空文庫の大・中・小見出しの注記)\n"
    "      --heading REGEX   REGEX (ECMAScript の正規表現) に合う行も見出しにする\n"
    "                        (--break-at-headings を含む)。例: '^第[0-9０-９一二三四五六七八九十]+章'\n"
    "      --subject-heading 見出しで始まるファイルの Subject の後に空白と見出しを付ける\n"
    "                        (Subject の上限バイト数に収まるよう文字の境目で切る)\n"
    "      --check           何も書き込まずに入力を調べる: 文字コード、改行の種類と数、行数、\n"
    "                        作成されるファイルの数と最大サイズ、ファイル番号や通し番号が\n"
    "                        尽きる所、? や 〓 になる文字、BEGIN: や END: で始まる本文の行、\n"
    "                        最大バイト数を超える長い行、青空文庫形式かどうか\n"
    "                        (-o は不要)\n"
    "      --verify DIR      DIR の E1__nnnn.VMG を読んで調べる (何も書き込まない): 連番、欠番、\n"
    "                        連番の名前ではないもの、形の崩れたファイル、最大バイト数を超える\n"
    "                        ファイル、BEGIN: や END: で始まる本文の行、Date の順\n"
    "      --join DIR        DIR の連番の本文を番号順につないで標準出力 (-o ではファイル) に\n"
    "                        Shift_JIS、CR LF で書き出す。欠番や壊れたファイルがあれば何も書かない\n"
    "  -q, --quiet           進行状況と結果の要約を表示しない\n"
    "  -h, --help            この説明を表示する\n"
    "      --version         バージョンを表示する\n"
    "\n"
    "終了コード: 0 すべて書き込み済み / 1 変換中の失敗 / 2 指定の誤り (何も書き込まない)\n"
    "出力先のフォルダは変換中ロックされ、同じフォルダへの 2 つ目の変換は終了コード 2 で断ります。\n"
    "--check の終了コード: 0 注意点なし / 1 注意点あり (? や 〓 になる文字、BEGIN:/END: の行、\n"
    "                     番号が尽きる、長すぎる行) / 2 指定の誤り\n"
    "--verify の終了コード: 0 注意点なし / 1 注意点あり / 2 指定の誤り\n"
    "--join の終了コード: 0 書き出した / 1 欠番、壊れたファイル、書き出しの失敗 / 2 指定の誤り\n";

inline constexpr std::string_view kSeeHelp = "「orvella-convert --help」で使い方を表示します。";
inline constexpr std::string_view kUnknownOption = "不明なオプションです: ";
inline constexpr std::string_view kMissingValue = "値が指定されていません: ";
inline constexpr std::string_view kNoInput = "入力ファイルを指定してください。";
inline constexpr std::string_view kInputIsDevice = "入力ファイルにできない名前です: ";
inline constexpr std::string_view kOneCommand = "--check、--verify、--join は 1 つだけ指定してください。";
inline constexpr std::string_view kNotAFolder = "フォルダがありません: ";
inline constexpr std::string_view kNoInputHere = "--verify と --join には入力ファイルを指定できません: ";
inline constexpr std::string_view kVerifyWritesNothing = "--verify は何も書き込まないため -o は使えません。";
inline constexpr std::string_view kJoinOutputIsFolder =
    "--join の -o にはファイルを指定してください (フォルダです): ";
inline constexpr std::string_view kJoinIntoFolder =
    "連結したテキストを連番と同じフォルダには書き込めません: ";
inline constexpr std::string_view kNoOutput = "出力先のフォルダを -o で指定してください。";
inline constexpr std::string_view kOutputNotFolder = "出力先のフォルダがありません: ";
inline constexpr std::string_view kOutputNotWritable = "出力先のフォルダに書き込めません: ";
inline constexpr std::string_view kBadStart =
    "--start には 0 から {lastNumber} までの整数を指定してください: ";
inline constexpr std::string_view kBadSerial =
    "--serial には 0 から {lastSerial} までの整数を指定してください: ";
inline constexpr std::string_view kArgumentNotText = "文字として読めない引数があります: ";
inline constexpr std::string_view kNotUtf8 = " の値が正しい UTF-8 ではありません。";
inline constexpr std::string_view kNameNotUtf8 =
    "入力ファイル名が正しい UTF-8 ではないため Subject にできません。--subject で指定してください。";
inline constexpr std::string_view kControlCharacter = " の値に改行などの制御文字は使えません。";
inline constexpr std::string_view kBadDate =
    "--date には「Wed, 11 Feb 2004 05:15:55 +0900」の形で、暦にある日付とその曜日を指定してください: ";
inline constexpr std::string_view kTooLong = " が長すぎます: ";
inline constexpr std::string_view kBytesLimit = " バイト (上限 ";
inline constexpr std::string_view kBytesLimitEnd = " バイト)";
inline constexpr std::string_view kWithSerial = " (\"-\" と通し番号を含む)";
inline constexpr std::string_view kInterrupted = "中断しました。";
inline constexpr std::string_view kInterruptedKept = "読み込んだところまでを最後のファイルに書き込みました。";
inline constexpr std::string_view kFilesWritten = " 個のファイルを書き込みました";
inline constexpr std::string_view kFilesFailed = " 個は書き込めませんでした";
inline constexpr std::string_view kNoFiles = "ファイルは書き込まれていません。";
inline constexpr std::string_view kUnexpectedFailure = "予期しないエラーが発生しました。";
inline constexpr std::string_view kBadAozora =
    "--aozora には keep, strip, bracket のいずれかを指定してください: ";
inline constexpr std::string_view kBadDateStep =
    "--date-step には 0～{maxDateStep} の秒数を指定してください: ";
inline constexpr std::string_view kBadHeading =
    "--heading には正しい正規表現 (ECMAScript、UTF-8) を指定してください: ";
inline constexpr std::string_view kBadEncoding =
    "--encoding には auto, cp932, utf-8, utf-16le, utf-16be のいずれかを指定してください: ";

// The listing of --check.
inline constexpr std::string_view kCheckLineEnds = "改行: ";
inline constexpr std::string_view kCheckLines = "行数: ";
inline constexpr std::string_view kCheckRecordsPrefix = "作成されるファイル: ";
inline constexpr std::string_view kCheckRecordsMiddle = " 個 (最大のファイル ";
// A file is larger than its count by the header lines the count leaves out.
inline constexpr std::string_view kCheckRecordsCounted = " バイト、最大バイト数と比べる大きさ ";
inline constexpr std::string_view kCheckRecordsEnd = " バイト)";
inline constexpr std::string_view kCheckNumbersOut =
    "ファイル番号が {last} に達するため、{file} (入力の {line} 行目まで) で変換が止まります。"
    "残りのテキストは変換されません。";
inline constexpr std::string_view kCheckSerialsOut =
    "Subject の通し番号が {last} に達するため、{file} (入力の {line} 行目まで) で変換が止まります。"
    "残りのテキストは変換されません。";
inline constexpr std::string_view kCheckAozora =
    "青空文庫形式のテキストです (--aozora strip でルビと注記を外し、--aozora bracket でルビを括弧で残せます)";
inline constexpr std::string_view kCheckLongLines =
    "1 行で最大バイト数を超えるファイルになる行 (--wrap で折り返せます): ";
inline constexpr std::string_view kCheckLongLineSuffix = " 行目";
inline constexpr std::string_view kCheckNoSubstitutes = "? に置き換える文字: なし";
inline constexpr std::string_view kCheckNoStructure = "BEGIN: / END: で始まる本文の行: なし";
inline constexpr std::string_view kCheckUnreadable = "入力ファイルを読み込めませんでした: ";
// Several texts: each one's listing under its name, then the sums.
inline constexpr std::string_view kCheckTotal =
    "合計: 行数 {lines}、作成されるファイル {records} 個 (最大のファイル {largest} バイト)";

}  // namespace orvella::cli_texts
