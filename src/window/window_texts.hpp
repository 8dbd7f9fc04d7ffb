// The window's own texts (UTF-16, as both faces show them): title, captions, tooltips and
// messages, spelled once.
#pragma once

#include <string_view>

namespace orvella::window::texts {

using Text = std::u16string_view;

inline constexpr Text kTitle = u"Orvella for A5502K";
inline constexpr Text kBoxTitle = u"Orvella";
// The about text, the window's tooltip: this, then the version.
inline constexpr Text kAboutPrefix = u"Orvella ";

// Captions.
inline constexpr Text kLabel7 = u"変換するテキストファイル:";
inline constexpr Text kCommand2 = u"...";
inline constexpr Text kLabel3 = u"Subject:";
inline constexpr Text kCheck1 = u"ファイル名をSubjectにする";
inline constexpr Text kCheck2 = u"Subjectに連番を付加";
inline constexpr Text kLabSubjectFormat = u"Format:";
inline constexpr Text kLabel1 = u"From:";
inline constexpr Text kLabel2 = u"To:";
inline constexpr Text kLabel4 = u"Date:";
inline constexpr Text kLabel5 = u"最大バイト数:";
inline constexpr Text kLabel6 = u"連番開始番号:";
inline constexpr Text kComConvert = u"変換";
inline constexpr Text kComOptions = u"オプション...";

// Start values.
inline constexpr Text kStart = u"0000";
inline constexpr Text kZeroBytes = u"0bytes";

// Tooltips.
inline constexpr Text kTipFileName = u"ファイル名です";
inline constexpr Text kTipCommand2 = u"テキストファイルを開きます";
inline constexpr Text kTipSubject = u"メールの題名です";
inline constexpr Text kTipCheck1 = u"Subjectをファイルの名前にします";
inline constexpr Text kTipCheck2 = u"変換時Subjectに通し番号を付けます";
inline constexpr Text kTipFormat = u"通し番号のフォーマットです";
inline constexpr Text kTipFrom = u"送信者のメールアドレスです";
inline constexpr Text kTipTo = u"受信者のメールアドレスです";
inline constexpr Text kTipDate = u"現在の日付です";
inline constexpr Text kTipMaxLength = u"登録可能なvmgファイルの最大バイト数です";
inline constexpr Text kTipStart = u"vmgファイルの開始番号を指定します";
inline constexpr Text kTipConvert = u"vmgファイルを作成します";
inline constexpr Text kTipOptions = u"青空文庫の注記、長い行、見出し、日付の扱いを設定します";
// Added to kTipFileName for a file that is not in code page 932: "（文字コード: UTF-8）".
inline constexpr Text kTipEncodingOpen = u"（文字コード: ";
inline constexpr Text kTipEncodingClose = u"）";

// The file box with several texts: the first one's name, then "上.txt ほか2件"; each text's note
// in the closing message follows its name and kNoteAfterName.
inline constexpr Text kOthersMiddle = u" ほか";
inline constexpr Text kOthersEnd = u"件";
inline constexpr Text kNoteAfterName = u": ";

// Byte counters and the estimate: "25000bytes. だいたい3個以上のファイルが作成されます。"
inline constexpr Text kBytes = u"bytes";
inline constexpr Text kEstimateMiddle = u"bytes. だいたい";
inline constexpr Text kEstimateEnd = u"個以上のファイルが作成されます。";
inline constexpr Text kSizeOnlyEnd = u"bytes.";
// After the estimate for a text in Aozora Bunko notation, whose ruby and notes an option removes.
inline constexpr Text kEstimateAozora = u"（青空文庫形式のテキストです）";

// The options dialog: its title, the Aozora Bunko group and its choices, the switches, the buttons.
inline constexpr Text kOptionsTitle = u"オプション";
inline constexpr Text kAozoraGroup = u"青空文庫の注記";
inline constexpr Text kAozoraKeep = u"そのまま";
inline constexpr Text kAozoraStrip = u"ルビを外す";
inline constexpr Text kAozoraBracket = u"ルビを括弧で残す";
inline constexpr Text kWrapLines = u"長い行を折り返す";
inline constexpr Text kBreakAtHeadings = u"見出しで新しいファイルにする";
inline constexpr Text kDateStep = u"日付を1秒ずつ進める";
inline constexpr Text kOk = u"OK";
inline constexpr Text kCancel = u"キャンセル";
// The estimate closes with the choices that are on, by these names: "（ルビなし・折り返し）".
inline constexpr Text kShortStrip = u"ルビなし";
inline constexpr Text kShortBracket = u"ルビは括弧";
inline constexpr Text kShortWrap = u"折り返し";
inline constexpr Text kShortHeadings = u"見出しで分割";
inline constexpr Text kShortDateStep = u"日付を1秒ずつ";
inline constexpr Text kNoteOpen = u"（";
inline constexpr Text kNoteSeparator = u"・";
inline constexpr Text kNoteClose = u"）";
// A run's closing message lists them on a line of its own: "オプション: ルビを外す、長い行を折り返す".
inline constexpr Text kOptionsUsed = u"オプション: ";
inline constexpr Text kOptionsUsedSeparator = u"、";

// The Open dialog's filter entries, in this order: what the entry says, and the names it shows.
inline constexpr Text kFilterText = u"テキストファイル(*.txt)";
inline constexpr Text kFilterTextPatterns = u"*.txt";
inline constexpr Text kFilterAll = u"すべてのファイル(*.*)";
inline constexpr Text kFilterAllPatterns = u"*.*";

// Messages.
inline constexpr Text kFieldsTooLong = u"Subject, From, Toのうち、いづれかの文字数がオーバーしています。";
inline constexpr Text kSizeUnreadable = u"ファイルの大きさを読み取れませんでした。";
inline constexpr Text kTooManyFilesPrefix = u"作成されるファイルが多すぎます（";
inline constexpr Text kTooManyFilesSuffix = u"個を超えます）。最大バイト数を大きくしてください。";
inline constexpr Text kUnexpectedFailure = u"変換中に予期しないエラーが発生しました。";
// Closes the message of a run that stopped part way: prefix, its first record's name, suffix.
inline constexpr Text kRetryPrefix = u"もう一度「変換」を押すと、";
inline constexpr Text kRetrySuffix = u" から同じ連番でテキストの最初から書き直します。";
// Around the reason a message gives.
inline constexpr Text kReasonOpen = u"（";
inline constexpr Text kReasonClose = u"）";

// The command line: orvella --help, --version and an option it does not have (stdout, stderr).
inline constexpr std::string_view kProgram = "orvella";
// The usage is put together by usageText (command_line.hpp); the Qt face takes Qt's options too.
inline constexpr std::string_view kUsageSynopsis = "使い方: orvella [ファイル...]\n";
inline constexpr std::string_view kUsageToolkitSynopsis = "使い方: orvella [Qt のオプション] [ファイル...]\n";
inline constexpr std::string_view kUsageBody =
    "テキストファイルを番号付きの vMessage ファイル (E1__0000.VMG ...) に分割するウィンドウを開きます。\n"
    "ファイルを指定すると、それを選んだ状態で開きます。複数なら並べた順に一続きに変換します\n"
    "(\"-\" で始まる名前は -- のあとに)。\n"
    "\n"
    "  -h, --help            この説明を表示する\n"
    "      --version         バージョンを表示する\n";
inline constexpr std::string_view kUsageToolkitOptions =
    "  -platform NAME        Qt のプラットフォーム (xcb, wayland, offscreen など)\n"
    "  -style NAME           部品の見た目 (Fusion など)。ほかの Qt の標準オプションも使えます\n";
inline constexpr std::string_view kUsageClosing =
    "\n"
    "画面のない環境やスクリプトからは、同じ変換を orvella-convert で行えます (orvella-convert --help)。\n";
inline constexpr std::string_view kUnknownOption = "orvella: 不明なオプションです: ";

// Started with no screen to show the window on (stderr, before any toolkit starts; UTF-8).
inline constexpr std::string_view kNoDisplay =
    "orvella: ウィンドウを開くにはデスクトップ (X11 または Wayland の画面) が必要ですが、"
    "使える画面が見つかりませんでした。\n"
    "画面のない環境では、同じ変換をコマンドラインの orvella-convert で行えます。例:\n"
    "  orvella-convert -o out/ --to friend@example.jp novel.txt\n"
    "The Orvella window needs a desktop (X11 or Wayland); orvella-convert does the same job on the "
    "command line.\n";

}  // namespace orvella::window::texts
