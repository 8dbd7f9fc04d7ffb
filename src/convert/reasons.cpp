#include "convert/reasons.hpp"

#include <iterator>

#include "convert/texts.hpp"
#include "core/message.hpp"
#include "core/utf.hpp"
#include "platform/record_names.hpp"

namespace orvella {

std::string reasonText(const platform::SystemError& error) {
  using K = platform::ErrorKind;
  switch (error.kind) {
    case K::DiskFull:
      return "ディスクの空き容量が足りません";
    case K::Quota:
      return "ディスクの使用量の上限 (クォータ) に達しました";
    case K::FileTooLarge:
      return "ファイルの大きさが上限を超えました";
    case K::NoPermission:
      return "アクセスする権限がありません";
    case K::InUse:
      return "他のプログラムが使用中です";
    case K::NotFound:
      return "ファイルまたはフォルダが見つかりません";
    case K::IsFolder:
      return "フォルダです";
    case K::ReadOnly:
      return "読み取り専用です";
    case K::WriteProtected:
      return "ドライブが書き込み禁止になっています";
    case K::NameTooLong:
      return "名前が長すぎます";
    case K::BadName:
      return "システムが受け付けない名前です";
    case K::DeviceName:
      return "デバイス名 (CON、PRN、AUX、NUL、COM1～COM9、LPT1～LPT9) はファイルとして使えません";
    case K::Exists:
      return "同じ名前のファイルがすでにあります";
    case K::IoError:
      return "ディスクの読み書きに失敗しました (装置のエラー)";
    case K::Disconnected:
      return "ドライブまたはネットワーク上の場所との接続が切れました";
    case K::TooManyOpen:
      return "開いているファイルが多すぎます";
    case K::OutOfMemory:
      return "メモリが足りません";
    case K::NotSupported:
      return "このドライブではできない操作です";
    case K::LinkLoop:
      return "シンボリックリンクが多すぎるか、循環しています";
    case K::Interrupted:
      return "中断されました";
    case K::Other:
      break;
  }
  return "予期しないエラーです (システムエラー " + std::to_string(error.code) + ")";
}

std::string reasonText(const std::error_code& error) { return reasonText(platform::fromCode(error.value())); }

namespace {

// What is wrong with a record read back, naming the line and, for a header line, the one due.
std::string recordFaultText(const Failure& failure) {
  namespace t = texts;
  const std::string line = std::to_string(failure.line);
  const std::string count = std::to_string(std::size(kFooterLines));
  switch (failure.kind) {
    case FailureKind::RecordUnreadable:
      return std::string(t::kRecordUnreadable) + reasonText(failure.system.value_or(platform::SystemError{}));
    case FailureKind::RecordNotAFile:
      return std::string(t::kRecordNotAFile);
    case FailureKind::RecordHeaderLine: {
      const HeaderLine& due = kHeaderLines[failure.line - 1];
      const std::string_view text = due.text.empty()                 ? t::kRecordHeaderBlank
                                    : due.value == HeaderValue::None ? t::kRecordHeaderLine
                                                                     : t::kRecordHeaderStart;
      return t::fillIn(text, {{"line", line}, {"text", std::string(due.text)}});
    }
    case FailureKind::RecordLineEnd:
      return t::fillIn(t::kRecordLineEnd, {{"line", line}});
    case FailureKind::RecordEndsInHeader:
      return t::fillIn(t::kRecordEndsInHeader, {{"line", line}});
    case FailureKind::RecordCutLine:
      return t::fillIn(t::kRecordCutLine, {{"line", line}});
    case FailureKind::RecordNoFooter: {
      std::string lines;
      for (std::string_view footer : kFooterLines) {
        if (!lines.empty()) lines += t::kListSeparator;
        lines += footer.empty() ? t::kBlankLine : footer;
      }
      return t::fillIn(t::kRecordNoFooter, {{"count", count}, {"lines", lines}});
    }
    case FailureKind::RecordAfterFooter:
      return t::fillIn(t::kRecordAfterFooter, {{"count", count}, {"line", line}});
    default:
      return {};  // not a record's fault
  }
}

}  // namespace

std::string failureText(const Failure& failure) {
  namespace t = texts;
  const std::string reason = reasonText(failure.system.value_or(platform::SystemError{}));
  switch (failure.kind) {
    case FailureKind::Read:
      return std::string(t::kInputOpenFailed) + '\n' + utf8Of(failure.path) + ": " + reason;
    case FailureKind::Write:
      return std::string(t::kWriteError) + '\n' + utf8Of(failure.path) + ": " + reason;
    case FailureKind::FolderNotWritable:
      return std::string(t::kFolderNotWritable) + '\n' + utf8Of(failure.path) + ": " + reason;
    case FailureKind::FolderBusy:
      return std::string(t::kFolderBusy) + '\n' + utf8Of(failure.path);
    case FailureKind::InputIsOutput:
      return std::string(t::kInputIsOutput) + '\n' + utf8Of(failure.path);
    case FailureKind::NumbersOut:
      return t::fillIn(t::kNumbersOut, {{"last", std::to_string(kLastFileNumber)}});
    case FailureKind::SerialsOut:
      return t::fillIn(t::kSerialsOut, {{"last", std::to_string(Message::kMaxSerial)}});
    case FailureKind::RecordTooLarge:
      return std::string(t::kRecordTooLarge);
    case FailureKind::Unconfirmed:
      return utf8Of(failure.path.filename()) + ": " + reason;
    case FailureKind::FolderUnconfirmed:
      return utf8Of(failure.path) + ": " + reason;
    case FailureKind::InvalidLimit:
      return std::string(t::kInvalidLimit);
    case FailureKind::HeaderBreaks:
      return failure.field + std::string(t::kHeaderBreaks);
    case FailureKind::HeaderTooLong:
      return failure.field + std::string(t::kHeaderTooLong);
    case FailureKind::FolderUnreadable:
      return std::string(t::kVerifyFolderUnreadable) + reason;
    case FailureKind::NoRecords:
      return t::fillIn(t::kVerifyNoRecords, {{"name", fileNameFor(0)}});
    case FailureKind::Hole:
      return t::fillIn(t::kJoinHole, {{"name", utf8Of(failure.path.filename())}});
    case FailureKind::JoinWrite:
      return std::string(t::kJoinWriteFailed) + (failure.path.empty() ? "" : utf8Of(failure.path) + ": ") +
             reason;
    case FailureKind::RecordUnreadable:
    case FailureKind::RecordNotAFile:
    case FailureKind::RecordHeaderLine:
    case FailureKind::RecordLineEnd:
    case FailureKind::RecordEndsInHeader:
    case FailureKind::RecordCutLine:
    case FailureKind::RecordNoFooter:
    case FailureKind::RecordAfterFooter:
      break;
  }
  return utf8Of(failure.path.filename()) + ": " + recordFaultText(failure);
}

std::string failureLines(const std::vector<Failure>& failures) {
  std::string lines;
  for (const Failure& failure : failures) lines += "\n  " + failureText(failure);
  return lines;
}

std::string readCutText(const Failure& failure, std::uint64_t bytesConverted, bool named) {
  namespace t = texts;
  std::string text = named ? utf8Of(failure.path) + "\n" : std::string();
  text += t::kInputReadFailed;
  text += " (" + reasonText(failure.system.value_or(platform::SystemError{})) + ")\n";
  text += t::kStoppedAtBytePrefix;
  text += std::to_string(bytesConverted);
  text += t::kStoppedAtByteSuffix;
  return text;
}

}  // namespace orvella
