// The encodings an input text may come in, and how one is told from the text's first bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace orvella {

enum class TextEncoding { Cp932, Utf8, Utf16Le, Utf16Be };

// What the user asks for; Auto detects.
enum class EncodingChoice { Auto, Cp932, Utf8, Utf16Le, Utf16Be };

// How much of a text detection looks at: enough for a text that starts in plain ASCII.
inline constexpr std::size_t kDetectionBytes = std::size_t{1} << 20;

struct Detection {
  TextEncoding encoding = TextEncoding::Cp932;
  std::size_t markBytes = 0;  // a byte-order mark at the start, never copied
};

// `head` is the start of the input; `whole` says it is all of it. A byte-order mark decides;
// else a head that is valid UTF-8 holding a multi-byte sequence is UTF-8; else code page 932.
Detection detectEncoding(std::string_view head, bool whole);

// A chosen encoding; the head only tells whether that encoding's byte-order mark is there.
Detection chooseEncoding(EncodingChoice choice, std::string_view head, bool whole);

// The command line's names: auto, cp932, utf-8, utf-16le, utf-16be (any case).
std::optional<EncodingChoice> parseEncodingChoice(std::string_view name);

// The name shown to the user, e.g. "UTF-8 (BOM 付き)".
std::string_view encodingName(TextEncoding encoding);
std::string encodingLabel(const Detection& detection);

}  // namespace orvella
