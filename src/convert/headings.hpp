// Lines that open a chapter: Aozora Bunko heading notes (［＃「…」は中見出し］, ［＃大見出し］…
// ［＃大見出し終わり］ and their kin) and lines a user's pattern matches.
#pragma once

#include <optional>
#include <regex>
#include <string>
#include <string_view>

namespace orvella {

// Whether a pattern (ECMAScript, UTF-8) can be used as --heading.
[[nodiscard]] bool isHeadingPattern(std::string_view utf8);

class HeadingFinder {
 public:
  // pattern: ECMAScript, UTF-8, matched on each decoded line; empty for none. An invalid one
  // throws std::regex_error (isHeadingPattern tells beforehand).
  explicit HeadingFinder(std::string_view pattern);

  // The heading a line (code page 932 bytes, as read) opens, without its notation; nothing when
  // the line opens none.
  [[nodiscard]] std::optional<std::string> find(std::string_view line) const;

 private:
  std::optional<std::wregex> pattern_;
};

}  // namespace orvella
