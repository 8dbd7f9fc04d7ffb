// One vMessage record built in memory as the exact code page 932 bytes to be written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvella {

inline constexpr std::string_view kCrLf = "\r\n";
inline constexpr std::string_view kDefaultSerialPattern = "000";

// The header's three MIME lines; a record's byte count starts at their size with line ends.
inline constexpr std::string_view kMimeVersionLine = "MIME-Version: 1.0";
inline constexpr std::string_view kContentTypeLine = "Content-Type: text/plain; charset=Shift_JIS";
inline constexpr std::string_view kTransferEncodingLine = "Content-Transfer-Encoding: 8bit";
inline constexpr std::int64_t kCountedHeaderBytes =
    kMimeVersionLine.size() + kContentTypeLine.size() + kTransferEncodingLine.size() + 3 * kCrLf.size();

// Which header value follows a line's fixed start.
enum class HeaderValue { None, Date, From, Subject, To };

// The header, line by line in order: the whole line, or the start its value follows.
struct HeaderLine {
  std::string_view text;
  HeaderValue value = HeaderValue::None;
};
inline constexpr HeaderLine kHeaderLines[] = {
    {"BEGIN:VMSG"},          {"VERSION:1.1"},
    {"X-IRMC-STATUS:READ"},  {"X-IRMC-TYPE:INET"},
    {"X-IRMC-BOX:INBOX"},    {"BEGIN:VBODY"},
    {"Date: ", HeaderValue::Date},
    {"From: ", HeaderValue::From},
    {"Subject: ", HeaderValue::Subject},
    {"To: ", HeaderValue::To},
    {"Cc: "},                {kMimeVersionLine},
    {kContentTypeLine},      {kTransferEncodingLine},
    {""},
};

// The footer's lines after the body, and their size with line ends.
inline constexpr std::string_view kFooterLines[] = {"", "END:VBODY", "END:VMSG"};
inline constexpr std::size_t kFooterBytes =
    kFooterLines[0].size() + kFooterLines[1].size() + kFooterLines[2].size() + 3 * kCrLf.size();

// What the header is made of; in the window, the current contents of its fields.
struct HeaderInputs {
  std::u16string date;
  std::u16string from;
  std::u16string subject;
  bool serialOn = true;
  std::u16string pattern{kDefaultSerialPattern.begin(), kDefaultSerialPattern.end()};
  std::u16string to;
};

// Thrown by AddHeader when the next Subject would need a serial past Message::kMaxSerial.
class SerialExhausted : public std::runtime_error {
 public:
  SerialExhausted() : std::runtime_error("subject serial exhausted") {}
};

// The serial as the pattern shows it (formatWholeNumber's rules).
std::u16string renderSerial(int number, std::u16string_view pattern);

class Message {
 public:
  // The serial is a signed 16-bit number.
  static constexpr int kMaxSerial = std::numeric_limits<std::int16_t>::max();

  // Called with the whole record after every change; empty by default.
  using Observer = std::function<void(const std::string&)>;

  void NewFile();
  void AddText(std::string_view bytes);      // one body line, raw bytes
  void AddText(std::u16string_view text);    // one line of text, encoded here
  void AddHeader(const HeaderInputs& in);    // may throw SerialExhausted, leaving the buffer as it was
  void AddFooter();
  void TakeBack();                           // curMessage := prevMessage
  // A long line in pieces: AddPiece for each, then EndLine; the bytes of one AddText.
  void AddPiece(std::string_view bytes) { cur_.append(bytes); }
  void EndLine();
  // Room for a record of this many bytes, so a large record is not grown by repeated copies.
  void reserve(std::size_t bytes) { cur_.reserve(bytes); }

  const std::string& curMessage() const { return cur_; }
  std::string_view prevMessage() const { return std::string_view(cur_).substr(0, prev_); }

  // The serial the next numbered Subject gets; kMaxSerial + 1 once all are used.
  int subjectSerial() const { return serial_; }
  void setSubjectSerial(int serial);  // 0..kMaxSerial, for a first serial chosen by the caller

  void setObserver(Observer observer) { observer_ = std::move(observer); }
  void notify() const {
    if (observer_) observer_(cur_);
  }

 private:
  void append(std::string_view bytes);

  std::string cur_;
  std::size_t prev_ = 0;
  int serial_ = 0;
  Observer observer_;
};

}  // namespace orvella
