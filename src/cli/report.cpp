#include "cli/report.hpp"

#include "cli/cli_texts.hpp"
#include "convert/texts.hpp"

namespace orvella::cli {

namespace {

void append(std::vector<std::string>& to, std::vector<std::string> lines) {
  for (auto& l : lines) to.push_back(std::move(l));
}

}  // namespace

std::vector<std::string> runReport(const InputReport& report) {
  std::vector<std::string> lines{encodingLine(report)};
  append(lines, substitutionLines(report));
  append(lines, structureLines(report));
  return lines;
}

std::vector<std::string> checkListing(const CheckResult& result) {
  const InputReport& in = result.input;
  std::vector<std::string> lines{encodingLine(in)};
  lines.push_back(std::string(cli_texts::kCheckLineEnds) + "CR LF " + std::to_string(in.ends.crLf) +
                  " / CR " + std::to_string(in.ends.cr) + " / LF " + std::to_string(in.ends.lf));
  lines.push_back(std::string(cli_texts::kCheckLines) + std::to_string(in.lines));
  lines.push_back(std::string(cli_texts::kCheckRecordsPrefix) + std::to_string(result.records) +
                  std::string(cli_texts::kCheckRecordsMiddle) + std::to_string(result.largestRecord) +
                  std::string(cli_texts::kCheckRecordsCounted) + std::to_string(result.largestCounted) +
                  std::string(cli_texts::kCheckRecordsEnd));
  if (const auto& out = result.runsOut) {
    const bool numbers = out->status == ConvertStatus::NumbersOut;
    lines.push_back(texts::fillIn(numbers ? cli_texts::kCheckNumbersOut : cli_texts::kCheckSerialsOut,
                                  {{"last", std::to_string(numbers ? kLastFileNumber : Message::kMaxSerial)},
                                   {"file", fileNameFor(out->lastNumber)},
                                   {"line", std::to_string(out->lastLine)}}));
  }
  if (const LongLines& tooLong = result.longLines; tooLong.count > 0) {
    lines.push_back(std::string(cli_texts::kCheckLongLines) + std::to_string(tooLong.count) +
                    std::string(texts::kLinesSuffix));
    for (std::uint64_t line : tooLong.samples) {
      lines.push_back(std::string(texts::kLinePrefix) + std::to_string(line) +
                      std::string(cli_texts::kCheckLongLineSuffix));
    }
    if (tooLong.count > tooLong.samples.size()) {
      lines.push_back(std::string(texts::kMorePrefix) +
                      std::to_string(tooLong.count - tooLong.samples.size()) +
                      std::string(texts::kLinesSuffix));
    }
  }
  if (in.aozora) lines.emplace_back(cli_texts::kCheckAozora);
  std::vector<std::string> substitutes = substitutionLines(in);
  if (substitutes.empty()) substitutes.emplace_back(cli_texts::kCheckNoSubstitutes);
  append(lines, std::move(substitutes));
  std::vector<std::string> structure = structureLines(in);
  if (structure.empty()) structure.emplace_back(cli_texts::kCheckNoStructure);
  append(lines, std::move(structure));
  return lines;
}

}  // namespace orvella::cli
