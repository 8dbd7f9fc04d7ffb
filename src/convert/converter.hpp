// The conversion driver: splits an input file by byte count into numbered .VMG records.
// It owns no window; it reports through ConvertHost.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/aozora.hpp"
#include "convert/defaults.hpp"
#include "convert/encoding.hpp"
#include "convert/failure.hpp"
#include "convert/input_report.hpp"
#include "convert/record_count.hpp"
#include "core/message.hpp"

namespace orvella {

enum class MessageKind { Information, Warning, Error };

class ConvertHost {
 public:
  virtual ~ConvertHost() = default;

  // The Date value for the header being built now.
  virtual std::u16string DateText() = 0;
  // Bytes of the input read since the last call, line ends included: the adds come to the
  // input's size once the whole text is read.
  virtual void Progress(std::int64_t add) { (void)add; }
  // Called once per line: a window may process its pending events here.
  virtual void Breathe() {}
  // Asked between lines; true closes and writes the record being built, then Convert returns
  // Stopped without a message of its own (the window is closing, or the user interrupted).
  virtual bool StopRequested() { return false; }
  // A file has been written (or failed): the next file gets number + 1.
  virtual void SpinnerStep(int nextNumber) { (void)nextNumber; }
  // What reading a text taught, once its reading has ended and before the run's last message;
  // once for each text, in order.
  virtual void InputRead(const InputReport& report) { (void)report; }
};

// What the reader sees on the handset; with each at its default the records are as the text is.
struct ReadingOptions {
  AozoraMode aozora = AozoraMode::Keep;
  bool wrap = false;                 // a line too long for an empty record is broken into several
  bool breakAtHeadings = false;      // a heading starts a new record
  std::string headingPattern;        // UTF-8 regular expression: a line it matches is a heading too
  bool subjectHeading = false;       // a record's Subject carries the heading it starts with
  std::int64_t dateStepSeconds = 0;  // record k is dated the run's first Date plus k times this
};

struct ConvertSettings {
  std::filesystem::path input;         // the text, when one is converted
  std::filesystem::path folder;        // where the records go, chosen before the run
  std::int32_t limit = kDefaultLimit;  // at least 1 (see parseLimit)
  int startNumber = 0;                 // 0..kLastFileNumber
  HeaderInputs header;                 // date is taken from the host for each record
  EncodingChoice encoding = EncodingChoice::Auto;
  ReadingOptions reading;
};

enum class ConvertStatus {
  Completed,      // every record written, and on disk
  WriteFailures,  // stopped at the first record that could not be written
  InvalidLimit,   // below 1; nothing read or written
  InvalidHeader,  // a header value too long, or holding a line break or another control character; nothing
                  // written
  FolderNotWritable,  // nothing read or written
  FolderBusy,         // another run holds the folder; nothing read or written
  InputIsOutput,      // the input is one of the files the run would write; nothing written
  RecordTooLarge,     // a line would make its record too large to write
  SyncFailed,         // every record written, but the system could not confirm they reached the disk
  InputError,         // the input could not be opened or read
  NumbersOut,         // the last file number used with input left
  SerialsOut,         // the last Subject serial used with records left
  Stopped,            // the host asked to stop
};

struct ConvertResult {
  ConvertStatus status = ConvertStatus::Completed;
  // The run's closing message (UTF-8), each failure told once; empty after a stop on request.
  MessageKind messageKind = MessageKind::Information;
  std::string message;
  int filesWritten = 0;
  std::vector<std::filesystem::path> failedFiles;
  std::optional<Failure> failure;    // the refusal, failed read or failed write that ended the run
  std::vector<Failure> unconfirmed;  // records written that the system could not confirm on disk
  std::optional<int> firstNumber;    // first file attempted
  std::optional<int> lastNumber;     // last file attempted
  int nextNumber = 0;                // where the spinner stands afterwards: the failed one after a failure
  std::uint64_t bytesConverted = 0;  // input bytes (line ends included) now in written records
  // Records of the same series beyond the last one written, left by an earlier, longer run and
  // not touched by this one: the first and last number of the run of them.
  std::optional<std::pair<int, int>> leftovers;
  std::vector<InputReport> inputs;  // one for each text whose reading began, in order
};

// The sentence about result.leftovers (empty without them), as the closing message carries it.
std::string leftoversSentence(const ConvertResult& result);

// Parses the limit (UTF-8) as a Japanese user writes a number: spaces around it, an optional "+",
// ASCII or full-width digits, "," between digits for thousands (full-width "＋" and "，" too).
// A whole number from 1 to INT32_MAX, else nothing.
[[nodiscard]] std::optional<std::int32_t> parseLimit(std::string_view text);

// One text of a series, and the Subject its records carry when it has one of its own (as when
// the Subject comes from each file's name); settings.header.subject otherwise.
struct ConvertInput {
  std::filesystem::path path;
  std::optional<std::u16string> subject;
};

// Message carries the Subject serial across conversions, as the window does; Convert leaves the
// last record in it. settings.startNumber must be 0..kLastFileNumber (std::out_of_range otherwise).
ConvertResult Convert(const ConvertSettings& settings, Message& message, ConvertHost& host);

// Several texts, in order, as one series (settings.input is not read): each opens a record of its
// own, and the file numbers and the Subject serial run on from one to the next, so the records
// are those of one run per text with both carried by hand. A failure stops the run where it is,
// the records before it kept; `inputs` must not be empty.
ConvertResult Convert(const ConvertSettings& settings, const std::vector<ConvertInput>& inputs,
                      Message& message, ConvertHost& host);

}  // namespace orvella
