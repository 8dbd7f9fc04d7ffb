#include "cli/terminal_host.hpp"

#include "cli/cli_texts.hpp"
#include "core/date_stamp.hpp"
#include "core/utf.hpp"
#include "platform/console.hpp"
#include "platform/signals.hpp"

namespace orvella::cli {

namespace {
constexpr int kBarWidth = 40;
constexpr std::uint64_t kRedraws = 200;  // at most this many redraws in a whole run
}  // namespace

TerminalHost::TerminalHost(std::optional<std::u16string> date, bool showProgress, std::uint64_t totalBytes)
    : date_(std::move(date)), bar_(showProgress && totalBytes > 0), total_(totalBytes) {}

bool TerminalHost::StopRequested() { return platform::stopRequested(); }

std::u16string TerminalHost::DateText() {
  if (date_) return *date_;
  return *utf8ToUtf16(dateStampNow());
}

void TerminalHost::Progress(std::int64_t add) {
  if (!bar_) return;
  done_ += static_cast<std::uint64_t>(add);
  if (done_ < nextDraw_) return;  // the per-line cost stays one comparison
  draw();
  nextDraw_ = done_ + total_ / kRedraws + 1;
}

void TerminalHost::draw() {
  // Line sizes count a NUL twice, so the sum may pass the file size: hold the bar at full.
  const std::uint64_t done = done_ < total_ ? done_ : total_;
  const int filled = static_cast<int>(done * kBarWidth / total_);
  const int percent = static_cast<int>(done * 100 / total_);
  std::string line = "\r[";
  line.append(static_cast<std::size_t>(filled), '#');
  line.append(static_cast<std::size_t>(kBarWidth - filled), '-');
  line += "] " + std::to_string(percent) + "%";
  platform::writeError(line);
  drawn_ = true;
}

void TerminalHost::clearProgress() {
  if (!drawn_) return;
  platform::writeError("\r\033[K");
  drawn_ = false;
}

}  // namespace orvella::cli
