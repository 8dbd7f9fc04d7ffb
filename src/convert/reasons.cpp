#include "convert/reasons.hpp"

#include "convert/texts.hpp"
#include "core/utf.hpp"

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

std::string failureText(const Failure& failure) {
  std::string text(failure.kind == FailureKind::Read ? texts::kInputOpenFailed : texts::kWriteError);
  text += '\n';
  text += utf8Of(failure.path);
  text += ": ";
  text += reasonText(failure.system.value_or(platform::SystemError{}));
  return text;
}

}  // namespace orvella
