#include "convert/encoding.hpp"

#include <cstdint>
#include <cstring>
#include <string>

#include "convert/texts.hpp"
#include "core/utf8_sequence.hpp"

namespace orvella {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::string_view markOf(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return kUtf8Mark;
    case TextEncoding::Utf16Le:
      return kUtf16LeMark;
    case TextEncoding::Utf16Be:
      return kUtf16BeMark;
    case TextEncoding::Cp932:
      break;
  }
  return {};
}

// Valid UTF-8 with at least one multi-byte sequence. A sequence cut by the end of a head that
// is not the whole input may be whole in the file, so it does not count against it.
bool readsAsUtf8(std::string_view head, bool whole) {
  const auto* p = reinterpret_cast<const unsigned char*>(head.data());
  const auto* const end = p + head.size();
  bool multiByte = false;
  while (p < end) {
    if (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      if ((word & 0x8080808080808080ULL) == 0) {
        p += 8;
        continue;
      }
    }
    if (*p < 0x80) {
      ++p;
      continue;
    }
    const utf8::Step step = utf8::decodeOne(p, end);
    if (step.status == utf8::Status::Incomplete) return !whole && multiByte;
    if (step.status != utf8::Status::Ok) return false;
    multiByte = true;
    p += step.length;
  }
  return multiByte;
}

}  // namespace

Detection detectEncoding(std::string_view head, bool whole) {
  for (TextEncoding e : {TextEncoding::Utf8, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
    const std::string_view mark = markOf(e);
    if (head.substr(0, mark.size()) == mark) return {e, mark.size()};
  }
  if (readsAsUtf8(head, whole)) return {TextEncoding::Utf8, 0};
  return {TextEncoding::Cp932, 0};
}

Detection chooseEncoding(EncodingChoice choice, std::string_view head, bool whole) {
  TextEncoding e = TextEncoding::Cp932;
  switch (choice) {
    case EncodingChoice::Auto:
      return detectEncoding(head, whole);
    case EncodingChoice::Cp932:
      return {TextEncoding::Cp932, 0};
    case EncodingChoice::Utf8:
      e = TextEncoding::Utf8;
      break;
    case EncodingChoice::Utf16Le:
      e = TextEncoding::Utf16Le;
      break;
    case EncodingChoice::Utf16Be:
      e = TextEncoding::Utf16Be;
      break;
  }
  const std::string_view mark = markOf(e);
  return {e, head.substr(0, mark.size()) == mark ? mark.size() : 0};
}

std::optional<EncodingChoice> parseEncodingChoice(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (lower == "auto") return EncodingChoice::Auto;
  if (lower == "cp932") return EncodingChoice::Cp932;
  if (lower == "utf-8") return EncodingChoice::Utf8;
  if (lower == "utf-16le") return EncodingChoice::Utf16Le;
  if (lower == "utf-16be") return EncodingChoice::Utf16Be;
  return std::nullopt;
}

std::string_view encodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Cp932:
      return texts::kEncodingCp932;
    case TextEncoding::Utf8:
      return texts::kEncodingUtf8;
    case TextEncoding::Utf16Le:
      return texts::kEncodingUtf16Le;
    case TextEncoding::Utf16Be:
      return texts::kEncodingUtf16Be;
  }
  return {};
}

std::string encodingLabel(const Detection& detection) {
  std::string label(encodingName(detection.encoding));
  if (detection.markBytes > 0) label += texts::kWithMark;
  return label;
}

}  // namespace orvella
