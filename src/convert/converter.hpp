// The conversion driver: splits an input file by byte count into numbered .VMG records.
// It owns no window; it reports through ConvertHost.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/encoding.hpp"
#include "convert/input_report.hpp"
#include "core/message.hpp"

namespace orvella {

enum class MessageKind { Information, Warning, Error };

class ConvertHost {
 public:
  virtual ~ConvertHost() = default;

  // The output folder; empty means the user cancelled.
  virtual std::filesystem::path SelectFolder() = 0;
  // The Date value for the header being built now.
  virtual std::u16string DateText() = 0;
  // Bytes of input consumed by the line just read (its LengthB, no line end).
  virtual void Progress(std::int64_t add) { (void)add; }
  // Called once per line: a window may process its pending events here.
  virtual void Breathe() {}
  // Asked between lines; true closes and writes the record being built, then Convert returns
  // Stopped without a message of its own (the window is closing, or the user interrupted).
  virtual bool StopRequested() { return false; }
  // A file has been written (or failed): the next file gets number + 1.
  virtual void SpinnerStep(int nextNumber) { (void)nextNumber; }
  // The record being built, after each change; only called when WantsRecord() is true.
  virtual bool WantsRecord() const { return false; }
  virtual void ShowRecord(const std::string& record) { (void)record; }
  // What reading the input taught, once the reading has ended and before the run's last message.
  virtual void InputRead(const InputReport& report) { (void)report; }
  // A failed write, reported once per file, after which the run goes on.
  virtual void WriteFailed(const std::filesystem::path& file, std::string_view message) = 0;
  // Cancel, completion and failure messages (UTF-8).
  virtual void Message(MessageKind kind, std::string_view text) = 0;
};

struct ConvertSettings {
  std::filesystem::path input;
  std::string maxLength = "10000";  // text of the limit, checked by Convert
  int startNumber = 0;              // 0..9999
  HeaderInputs header;              // date is taken from the host for each record
  EncodingChoice encoding = EncodingChoice::Auto;
};

enum class ConvertStatus {
  Completed,     // every record written
  WriteFailures, // ran to the end, some files could not be written
  Cancelled,     // no folder chosen
  InvalidLimit,  // nothing read or written
  InputError,    // the input could not be opened or read
  NumbersOut,    // file number 9999 used with input left
  SerialsOut,    // Subject serial 32767 used with records left
  Stopped,       // the host asked to stop
};

struct ConvertResult {
  ConvertStatus status = ConvertStatus::Completed;
  int filesWritten = 0;
  std::vector<std::filesystem::path> failedFiles;
  std::optional<int> firstNumber;  // first file attempted
  std::optional<int> lastNumber;   // last file attempted
  int nextNumber = 0;              // where the spinner stands afterwards
  std::optional<InputReport> input;  // once reading has begun
};

// Parses the limit: a positive whole number that fits in 32 bits, else nothing.
std::optional<std::int32_t> parseLimit(std::string_view text);

// "E1__" + four digits + ".VMG".
std::string fileNameFor(int number);

// Message carries the Subject serial across conversions, as the window does; Convert leaves the
// last record in it. settings.startNumber must be 0..9999 (std::out_of_range otherwise).
ConvertResult Convert(const ConvertSettings& settings, Message& message, ConvertHost& host);

}  // namespace orvella
