#include "convert/input_report.hpp"

#include <cstdio>

#include "convert/texts.hpp"
#include "core/cp932.hpp"
#include "core/utf.hpp"
#include "platform/record_names.hpp"

namespace orvella {

namespace {

// Enough of a line to recognise it in a message.
constexpr std::size_t kShownUnits = 40;

bool startsWithNoCase(std::string_view line, std::string_view prefix) {
  if (line.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = line[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != prefix[i]) return false;
  }
  return true;
}

std::string codePoint(char32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  return text;
}

std::string hexBytes(std::string_view bytes) {
  std::string out;
  char cell[4];
  for (unsigned char b : bytes) {
    std::snprintf(cell, sizeof cell, " %02X", b);
    out += cell;
  }
  return out;
}

std::string asItself(char32_t c) {
  std::u16string unit;
  if (c > 0xFFFF) {
    unit.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    unit.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  } else {
    unit.push_back(static_cast<char16_t>(c));
  }
  return utf16ToUtf8(unit);
}

std::string lineLabel(std::uint64_t line) {
  return std::string(texts::kLinePrefix) + std::to_string(line) + std::string(texts::kLineSuffix);
}

}  // namespace

bool looksLikeStructure(std::string_view line) {
  return startsWithNoCase(line, "BEGIN:") || startsWithNoCase(line, "END:");
}

void StructureLines::add(std::string_view line, std::uint64_t number, int record) {
  ++count_;
  if (samples_.size() >= kSamples) return;
  std::u16string text = cp932::decode(line.substr(0, kShownUnits * 2));
  if (text.size() > kShownUnits) text.resize(kShownUnits);
  samples_.push_back({number, utf16ToUtf8(text), record});
}

void StructureLines::merge(const StructureLines& other) {
  count_ += other.count_;
  for (const StructureLine& sample : other.samples_) {
    if (samples_.size() < kSamples) samples_.push_back(sample);
  }
}

InputReport reportOf(const LineReader& reader, const StructureLines& structure, const AozoraFilter* aozora) {
  InputReport report;
  if (aozora) {
    report.aozora = aozora->recognised();
    report.gaiji = aozora->gaiji();
  }
  report.detection = reader.detection();
  report.ends = reader.lineEnds();
  report.lines = reader.lineNumber();
  report.substitutions = reader.substitutions();
  report.structure = structure;
  return report;
}

bool readsAsAozora(LineReader& reader) {
  AozoraFilter filter(AozoraMode::Keep);
  std::string_view piece;
  for (std::uint64_t n = 0; n < AozoraFilter::kLookLines && !filter.recognised() && reader.nextPiece(piece);
       ++n) {
    filter.feed(piece, reader.pieceEndsLine(), reader.lineNumber(),
                [](std::string_view, bool, std::uint64_t) { return true; });
  }
  return filter.recognised();
}

std::string encodingLine(const InputReport& report) {
  return std::string(texts::kReadAs) + encodingLabel(report.detection);
}

namespace {

void appendSubstitutions(std::vector<std::string>& lines, const SubstitutionReport& s,
                         std::string_view prefix, bool withKinds) {
  if (s.total() == 0) return;
  std::string head = std::string(prefix) + std::to_string(s.total()) + std::string(texts::kSubstitutedSuffix);
  if (withKinds) {
    head += " (";
    head += std::string(texts::kUnmappedCount) + std::to_string(s.unmapped) + ", ";
    head += std::string(texts::kInvalidCount) + std::to_string(s.invalid) + ")";
  }
  lines.push_back(head);
  for (const Substitution& sample : s.samples) {
    std::string line = lineLabel(sample.line);
    if (sample.invalid) {
      line += std::string(texts::kInvalidBytes) + hexBytes(sample.bytes);
    } else {
      line += codePoint(sample.character) + " " + asItself(sample.character);
    }
    lines.push_back(line);
  }
  if (s.total() > s.samples.size()) {
    lines.push_back(std::string(texts::kMorePrefix) + std::to_string(s.total() - s.samples.size()) +
                    std::string(texts::kSubstitutedSuffix));
  }
}

}  // namespace

std::vector<std::string> substitutionLines(const InputReport& report) {
  std::vector<std::string> lines;
  appendSubstitutions(lines, report.substitutions, texts::kSubstitutedPrefix, true);
  appendSubstitutions(lines, report.gaiji, texts::kGaijiPrefix, false);
  return lines;
}

std::string completionNote(const InputReport& report) {
  if (!report.decoded()) return {};
  std::string note = encodingLine(report);
  const SubstitutionReport& s = report.substitutions;
  if (s.total() == 0) return note;
  note += std::string(texts::kNoteSeparator) + std::string(texts::kSubstitutedPrefix) +
          std::to_string(s.total()) + std::string(texts::kSubstitutedSuffix) + " (";
  for (std::size_t i = 0; i < s.samples.size(); ++i) {
    const Substitution& sample = s.samples[i];
    if (i > 0) note += ", ";
    note += std::to_string(sample.line) + std::string(texts::kLineSuffix);
    note += sample.invalid ? std::string(texts::kInvalidBytes) + hexBytes(sample.bytes)
                           : codePoint(sample.character) + " " + asItself(sample.character);
  }
  if (s.total() > s.samples.size()) note += ", …";
  return note + ")";
}

std::vector<std::string> structureLines(const InputReport& report) {
  return structureLines(report.structure);
}

std::vector<std::string> structureLines(const StructureLines& s) {
  std::vector<std::string> lines;
  if (s.count() == 0) return lines;
  lines.push_back(std::string(texts::kStructurePrefix) + std::to_string(s.count()) +
                  std::string(texts::kLinesSuffix));
  for (const StructureLine& sample : s.samples()) {
    const std::string label = lineLabel(sample.line);
    lines.push_back(sample.record < 0 ? label + sample.text
                                      : std::string(texts::kLinePrefix) + fileNameFor(sample.record) + " " +
                                            label.substr(texts::kLinePrefix.size()) + sample.text);
  }
  if (s.count() > s.samples().size()) {
    lines.push_back(std::string(texts::kMorePrefix) + std::to_string(s.count() - s.samples().size()) +
                    std::string(texts::kLinesSuffix));
  }
  return lines;
}

}  // namespace orvella
