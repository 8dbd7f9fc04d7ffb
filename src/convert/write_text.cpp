#include "convert/write_text.hpp"

#include "convert/reasons.hpp"
#include "convert/texts.hpp"
#include "core/utf.hpp"
#include "platform/files.hpp"

namespace orvella {

std::string writeFailureText(const std::filesystem::path& file, const platform::SystemError& error) {
  std::string text(texts::kWriteError);
  text += '\n';
  text += utf8Of(file);
  text += ": ";
  text += reasonText(error);
  return text;
}

bool WriteText(const std::filesystem::path& FName, std::string_view bytes, const WriteErrorReport& report) {
  platform::RecordFile record;
  std::optional<platform::SystemError> failed;
  if (FName.filename().empty()) {
    failed = platform::SystemError{platform::ErrorKind::BadName, 0};
  } else {
    failed = record.create(FName.parent_path());
    if (!failed) failed = record.write(bytes);
    if (!failed) failed = record.commit(FName);
  }
  if (!failed) return true;
  record.discard();
  if (report) report(writeFailureText(FName, *failed));
  return false;
}

}  // namespace orvella
