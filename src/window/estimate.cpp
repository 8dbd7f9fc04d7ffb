#include "window/estimate.hpp"

#include <string>

#include "convert/transcoder.hpp"

namespace orvella::window {

std::int64_t sizeAsWritten(std::int64_t fileBytes, const Detection& detection, std::string_view head) {
  if (detection.encoding == TextEncoding::Cp932) return fileBytes;
  const auto mark = static_cast<std::int64_t>(detection.markBytes);
  head.remove_prefix(std::min(head.size(), detection.markBytes));
  if (head.empty() || fileBytes <= mark) return 0;
  Transcoder transcoder(detection.encoding);
  std::string written;
  transcoder.feed(head, written);
  transcoder.finish(written);
  const long double ratio = static_cast<long double>(written.size()) / static_cast<long double>(head.size());
  return static_cast<std::int64_t>(static_cast<long double>(fileBytes - mark) * ratio + 0.5L);
}

}  // namespace orvella::window
