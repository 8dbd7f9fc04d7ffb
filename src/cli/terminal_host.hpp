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
  TerminalHost(std::optional<std::u16string> date, bool showProgress, std::uint64_t totalBytes);

  std::u16string DateText() override;
  void Progress(std::int64_t add) override;
  bool StopRequested() override;
  void clearProgress();

 private:
  void draw();

  std::optional<std::u16string> date_;
  bool bar_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  std::uint64_t nextDraw_ = 0;
  bool drawn_ = false;
};

}  // namespace orvella::cli
