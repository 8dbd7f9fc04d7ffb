// The window's own texts (UTF-8): title, captions, tooltips and messages, spelled once.
#pragma once

namespace orvella::ui::texts {

inline constexpr char kTitle[] = "Orvella for A5502K";
inline constexpr char kBoxTitle[] = "Orvella";
// The about text, the window's tooltip: this, then the version.
inline constexpr char kAboutPrefix[] = "Orvella ";

// Captions.
inline constexpr char kLabel7[] = "変換するテキストファイル:";
inline constexpr char kCommand2[] = "...";
inline constexpr char kLabel3[] = "Subject:";
inline constexpr char kCheck1[] = "ファイル名をSubjectにする";
inline constexpr char kCheck2[] = "Subjectに連番を付加";
inline constexpr char kLabSubjectFormat[] = "Format:";
inline constexpr char kLabel1[] = "From:";
inline constexpr char kLabel2[] = "To:";
inline constexpr char kLabel4[] = "Date:";
inline constexpr char kLabel5[] = "最大バイト数:";
inline constexpr char kLabel6[] = "連番開始番号:";
inline constexpr char kComConvert[] = "変換";

// Start values.
inline constexpr char kStart[] = "0000";
inline constexpr char kZeroBytes[] = "0bytes";

// Tooltips.
inline constexpr char kTipFileName[] = "ファイル名です";
inline constexpr char kTipCommand2[] = "テキストファイルを開きます";
inline constexpr char kTipSubject[] = "メールの題名です";
inline constexpr char kTipCheck1[] = "Subjectをファイルの名前にします";
inline constexpr char kTipCheck2[] = "変換時Subjectに通し番号を付けます";
inline constexpr char kTipFormat[] = "通し番号のフォーマットです";
inline constexpr char kTipFrom[] = "送信者のメールアドレスです";
inline constexpr char kTipTo[] = "受信者のメールアドレスです";
inline constexpr char kTipDate[] = "現在の日付です";
inline constexpr char kTipMaxLength[] = "登録可能なvmgファイルの最大バイト数です";
inline constexpr char kTipStart[] = "vmgファイルの開始番号を指定します";
inline constexpr char kTipConvert[] = "vmgファイルを作成します";
// Added to kTipFileName for a file that is not in code page 932: "（文字コード: UTF-8）".
inline constexpr char kTipEncodingOpen[] = "（文字コード: ";
inline constexpr char kTipEncodingClose[] = "）";

// Byte counters and the estimate: "25000bytes. だいたい3個以上のファイルが作成されます。"
inline constexpr char kBytes[] = "bytes";
inline constexpr char kEstimateMiddle[] = "bytes. だいたい";
inline constexpr char kEstimateEnd[] = "個以上のファイルが作成されます。";
inline constexpr char kSizeOnlyEnd[] = "bytes.";

// The Open dialog's filter entries, in this order.
inline constexpr char kFilterText[] = "テキストファイル(*.txt)";
inline constexpr char kFilterAll[] = "すべてのファイル(*.*)";

// Messages.
inline constexpr char kFieldsTooLong[] =
    "Subject, From, Toのうち、いづれかの文字数がオーバーしています。";
inline constexpr char kSizeUnreadable[] = "ファイルの大きさを読み取れませんでした。";
inline constexpr char kTooManyFilesPrefix[] = "作成されるファイルが多すぎます（";
inline constexpr char kTooManyFilesSuffix[] = "個を超えます）。最大バイト数を大きくしてください。";
inline constexpr char kUnexpectedFailure[] = "変換中に予期しないエラーが発生しました。";
// Around the reason a message gives.
inline constexpr char kReasonOpen[] = "（";
inline constexpr char kReasonClose[] = "）";

// The command line: orvella --help, --version and an option it does not have (stdout, stderr).
inline constexpr char kProgram[] = "orvella";
inline constexpr char kUsage[] =
    "使い方: orvella [Qt のオプション] [ファイル]\n"
    "テキストファイルを番号付きの vMessage ファイル (E1__0000.VMG ...) に分割するウィンドウを開きます。\n"
    "ファイルを指定すると、それを選んだ状態で開きます (\"-\" で始まる名前は -- のあとに)。\n"
    "\n"
    "  -h, --help            この説明を表示する\n"
    "      --version         バージョンを表示する\n"
    "  -platform NAME        Qt のプラットフォーム (xcb, wayland, offscreen など)\n"
    "  -style NAME           部品の見た目 (Fusion など)。ほかの Qt の標準オプションも使えます\n"
    "\n"
    "画面のない環境やスクリプトからは、同じ変換を orvella-convert で行えます (orvella-convert --help)。\n";
inline constexpr char kUnknownOption[] = "orvella: 不明なオプションです: ";

// Started with no screen to show the window on (stderr, before Qt starts).
inline constexpr char kNoDisplay[] =
    "orvella: ウィンドウを開くにはデスクトップ (X11 または Wayland の画面) が必要ですが、"
    "使える画面が見つかりませんでした。\n"
    "画面のない環境では、同じ変換をコマンドラインの orvella-convert で行えます。例:\n"
    "  orvella-convert -o out/ --to friend@example.jp novel.txt\n"
    "The Orvella window needs a desktop (X11 or Wayland); orvella-convert does the same job on the "
    "command line.\n";

}  // namespace orvella::ui::texts
