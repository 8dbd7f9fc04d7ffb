// orvella-convert: the conversion without the window.

#include <algorithm>
#include <csignal>
#include <exception>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_texts.hpp"
#include "cli/folder_commands.hpp"
#include "cli/options.hpp"
#include "cli/report.hpp"
#include "cli/terminal_host.hpp"
#include "convert/converter.hpp"
#include "convert/reasons.hpp"
#include "convert/text_check.hpp"
#include "convert/texts.hpp"
#include "core/date_stamp.hpp"
#include "core/utf.hpp"
#include "core/version.hpp"
#include "platform/args.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/signals.hpp"

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
    case S::Completed:
      return 0;
    case S::InvalidLimit:
    case S::InvalidHeader:
    case S::FolderNotWritable:
    case S::FolderBusy:
    case S::InputIsOutput:
      return 2;
    default:
      return 1;
  }
}

// --check: the listing on standard output, each text's under its name when there are several,
// then the sums; 1 when it names something to look at.
int check(const orvella::cli::Options& o) {
  const std::u16string date = o.date ? *o.date : *orvella::utf8ToUtf16(orvella::dateStampNow());
  const auto results = orvella::checkTexts(o.settings, o.inputs, date, o.firstSerial.value_or(0));
  const bool several = results.size() > 1;
  int code = 0;
  std::uint64_t lines = 0, records = 0, largest = 0;
  for (std::size_t i = 0; i < results.size(); ++i) {
    const orvella::CheckResult& result = results[i];
    const std::string name = orvella::utf8Of(o.inputs[i].path);
    if (result.failure) {
      printError(std::string(orvella::cli_texts::kCheckUnreadable) + name + ": " +
                 orvella::reasonText(*result.failure->system));
      code = 1;
      continue;
    }
    if (several) orvella::platform::writeOutput(name + ":\n");
    for (const auto& line : orvella::cli::checkListing(result)) {
      orvella::platform::writeOutput((several ? "  " : "") + line + "\n");
    }
    if (result.hasWarnings()) code = 1;
    lines += result.input.lines;
    records += result.records;
    largest = std::max(largest, result.largestRecord);
  }
  if (several) {
    orvella::platform::writeOutput(
        orvella::texts::fillIn(orvella::cli_texts::kCheckTotal, {{"lines", std::to_string(lines)},
                                                                 {"records", std::to_string(records)},
                                                                 {"largest", std::to_string(largest)}}) +
        "\n");
  }
  return code;
}

int tell(const orvella::ConvertResult& result, const orvella::cli::Options& o);

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
    case cli::Action::Check:
      return check(parsed.options);
    case cli::Action::Verify:
      return cli::verifyCommand(parsed.options);
    case cli::Action::Join:
      if (const auto stopped = cli::joinCommand(parsed.options)) {
        printError(orvella::failureText(*stopped));
        return 1;
      }
      return 0;
    case cli::Action::Convert:
      break;
  }
  const cli::Options& o = parsed.options;

  std::uint64_t size = 0;
  for (const orvella::ConvertInput& input : o.inputs) {
    const auto info = orvella::platform::pathInfo(input.path);
    if (info && !info->folder) size += info->size;
  }
  cli::TerminalHost host(o.date, !o.quiet && orvella::platform::stderrIsTerminal(), size);

  orvella::Message message;
  if (o.firstSerial) message.setSubjectSerial(*o.firstSerial);
  orvella::ConvertSettings settings = o.settings;
  settings.folder = o.output;
  const orvella::ConvertResult result = orvella::Convert(settings, o.inputs, message, host);
  host.clearProgress();
  return tell(result, o);
}

// The run's end on standard error, once, and its exit code.
int tell(const orvella::ConvertResult& result, const orvella::cli::Options& o) {
  const bool failed = result.messageKind != orvella::MessageKind::Information;
  if (failed && !result.message.empty()) printError(result.message);
  if (result.status == orvella::ConvertStatus::Stopped) {
    // Stopped before the input could be read, no record was made to keep what was read.
    std::string text(orvella::cli_texts::kInterrupted);
    if (result.firstNumber) text += orvella::cli_texts::kInterruptedKept;
    printError(text);
  }
  if (!o.quiet) {
    std::string line = failed ? std::string() : result.message;
    if (!line.empty()) line += " ";
    printError(line + summary(result));
    for (std::size_t i = 0; i < result.inputs.size(); ++i) {
      if (o.inputs.size() > 1) printError(orvella::utf8Of(o.inputs[i].path) + ":");
      for (const auto& l : orvella::cli::runReport(result.inputs[i])) printError(l);
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
    printError(std::string(orvella::cli_texts::kUnexpectedFailure) + " (" + orvella::reasonText(e.code()) +
               ")");
    return 1;
  } catch (const std::exception&) {
    // The library's own words are English; the user gets ours.
    printError(orvella::cli_texts::kUnexpectedFailure);
    return 1;
  }
}
