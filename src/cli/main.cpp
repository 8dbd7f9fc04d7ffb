// orvella-convert: the conversion without the window.

#include <csignal>
#include <exception>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_texts.hpp"
#include "cli/options.hpp"
#include "cli/report.hpp"
#include "cli/terminal_host.hpp"
#include "convert/converter.hpp"
#include "convert/reasons.hpp"
#include "core/version.hpp"
#include "platform/args.hpp"
#include "platform/console.hpp"
#include "platform/signals.hpp"
#include "convert/text_check.hpp"
#include "core/date_stamp.hpp"
#include "core/utf.hpp"

namespace {

void printError(std::string_view text) {
  std::string line(orvella::cli_texts::kProgram);
  line += ": ";
  line += text;
  line += '\n';
  orvella::platform::writeError(line);
}

std::string summary(const orvella::ConvertResult& result) {
  using orvella::fileNameFor;
  namespace t = orvella::cli_texts;
  if (!result.firstNumber) return std::string(t::kNoFiles);
  std::string text = std::to_string(result.filesWritten);
  text += t::kFilesWritten;
  if (!result.failedFiles.empty()) {
    text += " (" + std::to_string(result.failedFiles.size()) + std::string(t::kFilesFailed) + ")";
  }
  if (!result.lastNumber) return text;
  text += ": " + fileNameFor(*result.firstNumber);
  if (*result.lastNumber != *result.firstNumber) text += " - " + fileNameFor(*result.lastNumber);
  return text;
}

int exitCode(orvella::ConvertStatus status) {
  using S = orvella::ConvertStatus;
  switch (status) {
    case S::Completed: return 0;
    case S::InvalidLimit:
    case S::InvalidHeader:
    case S::FolderNotWritable:
    case S::FolderBusy:
    case S::InputIsOutput:
    case S::Cancelled: return 2;
    default: return 1;
  }
}

// --check: the listing on standard output; 1 when it names something to look at.
int check(const orvella::cli::Options& o) {
  const std::u16string date = o.date ? *o.date : *orvella::utf8ToUtf16(orvella::dateStampNow());
  const orvella::CheckResult result = orvella::checkText(o.settings, date, o.firstSerial.value_or(0));
  if (!result.ok) {
    printError(std::string(orvella::cli_texts::kCheckUnreadable) + o.settings.input.string() + ": " +
               orvella::reasonText(result.error));
    return 1;
  }
  for (const auto& line : orvella::cli::checkListing(result)) orvella::platform::writeOutput(line + "\n");
  return result.hasWarnings() ? 1 : 0;
}

int run(int argc, char** argv) {
  namespace cli = orvella::cli;
  orvella::platform::CommandLine typed = orvella::platform::commandLine(argc, argv);
  if (typed.unreadable) {
    printError(std::string(orvella::cli_texts::kArgumentNotText) + typed.args[*typed.unreadable]);
    return 2;
  }
  std::vector<char*> args;
  for (auto& a : typed.args) args.push_back(a.data());
  args.push_back(nullptr);
  const cli::Parsed parsed = cli::parse(static_cast<int>(typed.args.size()), args.data());
  switch (parsed.action) {
    case cli::Action::Help:
      orvella::platform::writeOutput(orvella::cli::fillInLimits(orvella::cli_texts::kUsage));
      return 0;
    case cli::Action::Version:
      orvella::platform::writeOutput(std::string(orvella::cli_texts::kProgram) + " " +
                                     std::string(orvella::kVersion) + "\n");
      return 0;
    case cli::Action::Refuse:
      for (const auto& e : parsed.errors) printError(e);
      printError(orvella::cli_texts::kSeeHelp);
      return 2;
    case cli::Action::Check: return check(parsed.options);
    case cli::Action::Convert: break;
  }
  const cli::Options& o = parsed.options;

  std::error_code ec;
  const auto size = std::filesystem::file_size(o.settings.input, ec);
  cli::TerminalHost host(o.output, o.date, !o.quiet && orvella::platform::stderrIsTerminal(),
                         ec ? 0 : size);

  orvella::Message message;
  if (o.firstSerial) message.setSubjectSerial(*o.firstSerial);
  const orvella::ConvertResult result = orvella::Convert(o.settings, message, host);
  host.clearProgress();

  if (result.status == orvella::ConvertStatus::Stopped) printError(orvella::cli_texts::kInterrupted);
  if (!o.quiet) {
    std::string line = host.information();
    if (!line.empty()) line += " ";
    printError(line + summary(result));
    if (result.input) {
      for (const auto& l : orvella::cli::runReport(*result.input)) printError(l);
    }
  }
  if (o.quiet && result.status == orvella::ConvertStatus::Completed && result.leftovers) {
    // Quiet, but older records beside the new series are worth a word.
    printError(orvella::leftoversSentence(result));
  }
  return exitCode(result.status);
}

}  // namespace

int main(int argc, char** argv) {
  // Before anything else, so no signal finds the system's default action: an interrupt, a
  // hang-up or a closed pipe closes the record in hand instead of leaving it, or a temporary
  // file, behind (and a closed pipe under --help is a failed write, not death); a file size limit
  // is an ordinary failed write.
  orvella::platform::installStopHandlers();
  try {
    return run(argc, argv);
  } catch (const std::system_error& e) {
    printError(std::string(orvella::cli_texts::kUnexpectedFailure) + " (" + orvella::reasonText(e.code()) + ")");
    return 1;
  } catch (const std::exception&) {
    // The library's own words are English; the user gets ours.
    printError(orvella::cli_texts::kUnexpectedFailure);
    return 1;
  }
}
