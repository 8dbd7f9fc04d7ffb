// The line rules stated byte by byte, independent of any block logic: CR, CR LF or a lone LF
// ends a line, a line end at the very end makes no extra line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvella::testing {

inline std::vector<std::string> referenceLines(std::string_view in) {
  std::vector<std::string> lines;
  std::string cur;
  bool open = false;
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '\r' || in[i] == '\n') {
      lines.push_back(cur);
      cur.clear();
      open = false;
      if (in[i] == '\r' && i + 1 < in.size() && in[i + 1] == '\n') ++i;
    } else {
      cur += in[i];
      open = true;
    }
  }
  if (open) lines.push_back(cur);
  return lines;
}

}  // namespace orvella::testing
