#include "convert/reasons.hpp"

namespace orvella {

std::string reasonText(const platform::SystemError& error) {
  using K = platform::ErrorKind;
  switch (error.kind) {
    case K::DiskFull: return "ディスクの空き容量が足りません";
    case K::FileTooLarge: return "ファイルの大きさが上限を超えました";
    case K::NoPermission: return "アクセスする権限がありません";
    case K::NotFound: return "ファイルまたはフォルダが見つかりません";
    case K::IsFolder: return "フォルダです";
    case K::ReadOnly: return "読み取り専用です";
    case K::NameTooLong: return "名前が長すぎます";
    case K::BadName: return "システムが受け付けない名前です";
    case K::Interrupted: return "中断されました";
    case K::Other: break;
  }
  return "システムエラー " + std::to_string(error.code);
}

}  // namespace orvella
