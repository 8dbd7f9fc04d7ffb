#include "window/estimate.hpp"

#include <string>

#include "convert/input_report.hpp"
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

NotationLook lookAtNotation(LineReader& reader, AozoraMode mode) {
  if (mode == AozoraMode::Keep) return {readsAsAozora(reader), 1.0};
  AozoraFilter filter(mode);
  std::uint64_t in = 0;
  std::uint64_t out = 0;
  const auto count = [&out](std::string_view bytes, bool, std::uint64_t) {
    out += bytes.size();
    return true;
  };
  // Enough to judge by, however long the lines: as much as detection reads.
  std::string_view piece;
  for (std::uint64_t n = 0; n < AozoraFilter::kLookLines && in < kDetectionBytes && reader.nextPiece(piece);
       ++n) {
    in += piece.size();
    filter.feed(piece, reader.pieceEndsLine(), reader.lineNumber(), count);
  }
  filter.finish(count);
  return {filter.recognised(), in > 0 ? static_cast<double>(out) / static_cast<double>(in) : 1.0};
}

}  // namespace orvella::window
