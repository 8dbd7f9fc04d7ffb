// A conversion host that answers from fields and records every call, for driver tests.
#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "convert/converter.hpp"
#include "support/temp_dir.hpp"

namespace orvella::testing {

struct RecordingHost : ConvertHost {
  std::filesystem::path folder;
  std::vector<std::u16string> dates{u"Wed, 11 Feb 2004 05:15:55 +0900"};  // the last one repeats
  std::function<bool()> stopWhen;
  std::function<void(int)> onStep;  // runs after each file number is used, e.g. to make a fault

  int dateAsks = 0;
  std::int64_t progress = 0;
  int breaths = 0;
  std::vector<int> steps;
  std::vector<std::pair<std::filesystem::path, std::string>> failures;
  std::vector<std::pair<MessageKind, std::string>> messages;

  std::u16string DateText() override {
    const std::size_t i = static_cast<std::size_t>(dateAsks++);
    return i < dates.size() ? dates[i] : dates.back();
  }
  void Progress(std::int64_t add) override { progress += add; }
  void Breathe() override { ++breaths; }
  bool StopRequested() override { return stopWhen && stopWhen(); }
  void SpinnerStep(int next) override {
    steps.push_back(next);
    if (onStep) onStep(next);
  }
};

// A run into host.folder (unless the settings name one), keeping what it told in the host: the
// closing message, and each failed file with it. Found for a RecordingHost ahead of the engine's.
inline ConvertResult Convert(ConvertSettings settings, const std::vector<ConvertInput>& inputs,
                             Message& message, RecordingHost& host) {
  if (settings.folder.empty()) settings.folder = host.folder;
  ConvertResult result = orvella::Convert(settings, inputs, message, host);
  if (!result.message.empty()) host.messages.emplace_back(result.messageKind, result.message);
  for (const auto& file : result.failedFiles) host.failures.emplace_back(file, result.message);
  return result;
}
inline ConvertResult Convert(const ConvertSettings& settings, Message& message, RecordingHost& host) {
  return Convert(settings, {{settings.input, std::nullopt}}, message, host);
}

// The body of a written record: between the header's blank line and the footer.
inline std::string bodyOf(const std::string& record) {
  static const std::string kFooter = "\r\nEND:VBODY\r\nEND:VMSG\r\n";
  const auto start = record.find("\r\n\r\n");
  if (start == std::string::npos || record.size() < start + 4 + kFooter.size() ||
      record.compare(record.size() - kFooter.size(), kFooter.size(), kFooter) != 0) {
    return "<not a record>";
  }
  return record.substr(start + 4, record.size() - kFooter.size() - start - 4);
}

// Body lines of a record; lines never hold a CR, so CR LF splits them unambiguously.
inline std::vector<std::string> bodyLines(const std::string& record) {
  const std::string body = bodyOf(record);
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < body.size()) {
    const auto end = body.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back("<unterminated:" + body.substr(at) + ">");
      break;
    }
    lines.push_back(body.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// One conversion in a fresh folder: the input beside an empty output folder.
struct ConversionFolder {
  TempDir dir;
  std::filesystem::path out = dir / "out";
  RecordingHost host;
  Message message;
  ConvertSettings settings;

  explicit ConversionFolder(std::u16string subject) {
    std::filesystem::create_directory(out);
    host.folder = out;
    settings.input = dir / "in.txt";
    settings.header.subject = std::move(subject);
  }
  // Every entry of the output folder, sorted: a leftover temporary shows up here too.
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(out))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::vector<std::vector<std::string>> bodies() const {
    std::vector<std::vector<std::string>> all;
    for (const auto& name : files()) all.push_back(bodyLines(readFile(out / name)));
    return all;
  }
  // Every body line of every record, in file order.
  std::vector<std::string> allLines() const {
    std::vector<std::string> lines;
    for (auto& body : bodies()) {
      for (auto& l : body) lines.push_back(std::move(l));
    }
    return lines;
  }
};

}  // namespace orvella::testing
