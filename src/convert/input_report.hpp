// What reading an input taught: its encoding, its line ends, the '?' written for it, and the
// body lines a vMessage reader may take for structure; and how that is told to the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/aozora.hpp"
#include "convert/encoding.hpp"
#include "convert/line_reader.hpp"
#include "convert/transcoder.hpp"

namespace orvella {

// A line that begins with "BEGIN:" or "END:", in any case, such as END:VBODY.
bool looksLikeStructure(std::string_view line);

struct StructureLine {
  std::uint64_t line = 0;
  std::string text;  // UTF-8, for display
  int record = -1;   // the record file it was read from, when it comes from one
};

class StructureLines {
 public:
  static constexpr std::size_t kSamples = 10;

  // Called for every body line; a cheap first-byte test keeps it off the hot path.
  void look(std::string_view line, std::uint64_t number, int record = -1) {
    if (line.size() < 4) return;
    const char c = static_cast<char>(line[0] | 0x20);
    if ((c == 'b' || c == 'e') && looksLikeStructure(line)) add(line, number, record);
  }
  // Takes in what another look found, after what this one found.
  void merge(const StructureLines& other);
  std::uint64_t count() const { return count_; }
  const std::vector<StructureLine>& samples() const { return samples_; }

 private:
  void add(std::string_view line, std::uint64_t number, int record);
  std::uint64_t count_ = 0;
  std::vector<StructureLine> samples_;
};

struct InputReport {
  Detection detection;
  LineEndCounts ends;
  std::uint64_t lines = 0;
  SubstitutionReport substitutions;
  StructureLines structure;
  bool aozora = false;       // written in Aozora Bunko notation
  SubstitutionReport gaiji;  // characters named by its notes that became 〓

  bool decoded() const { return detection.encoding != TextEncoding::Cp932; }
  bool hasWarnings() const { return substitutions.total() > 0 || gaiji.total() > 0 || structure.count() > 0; }
};

// Whether the text's first lines are written in Aozora Bunko notation, read on from where the
// reader stands (before a conversion, to tell the user the text has an option of its own).
[[nodiscard]] bool readsAsAozora(LineReader& reader);

// `aozora`: the notation filter the lines went through, if any.
InputReport reportOf(const LineReader& reader, const StructureLines& structure,
                     const AozoraFilter* aozora = nullptr);

// Lines for the user (UTF-8, no line ends): the encoding read; the '?' written with the first
// few; the structure-like lines with the first ten.
std::string encodingLine(const InputReport& report);
std::vector<std::string> substitutionLines(const InputReport& report);
std::vector<std::string> structureLines(const InputReport& report);
std::vector<std::string> structureLines(const StructureLines& structure);
// One line for a window's completion message: the encoding and the first '?' with their lines;
// empty for code page 932 input, which is copied as it is.
std::string completionNote(const InputReport& report);

}  // namespace orvella
