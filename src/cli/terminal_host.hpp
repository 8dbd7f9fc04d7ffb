// The conversion's host on a terminal: messages on stderr, a progress bar when stderr is a
// terminal, and the stop requests that signals raise.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "convert/converter.hpp"

namespace orvella::cli {

class TerminalHost : public ConvertHost {
 public:
  // totalBytes sizes the progress bar; 0 hides it.
  TerminalHost(std::filesystem::path folder, std::optional<std::u16string> date, bool showProgress,
               std::uint64_t totalBytes);

  std::filesystem::path SelectFolder() override { return folder_; }
  std::u16string DateText() override;
  void Progress(std::int64_t add) override;
  bool StopRequested() override;
  void WriteFailed(const std::filesystem::path& file, std::string_view message) override;
  void Message(MessageKind kind, std::string_view text) override;

  // The information message of the run (completion), kept for the summary line.
  const std::string& information() const { return information_; }
  void clearProgress();

 private:
  void draw();
  void say(std::string_view text);

  std::filesystem::path folder_;
  std::optional<std::u16string> date_;
  bool bar_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  std::uint64_t nextDraw_ = 0;
  bool drawn_ = false;
  std::string information_;
};

}  // namespace orvella::cli
