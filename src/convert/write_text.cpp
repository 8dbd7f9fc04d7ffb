#include "convert/write_text.hpp"

#include "convert/reasons.hpp"
#include "convert/texts.hpp"
#include "core/utf.hpp"

namespace orvella {

std::string writeFailureText(const std::filesystem::path& file, const platform::SystemError& error) {
  std::string text(texts::kWriteError);
  text += '\n';
  text += utf8Of(file);
  text += ": ";
  text += reasonText(error);
  return text;
}

}  // namespace orvella
