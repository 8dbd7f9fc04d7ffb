// One vMessage record built in memory as the exact code page 932 bytes to be written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace orvella {

inline constexpr std::string_view kCrLf = "\r\n";

// Bytes of these lines with their line ends.
template <std::size_t N>
constexpr std::size_t bytesWithLineEnds(const std::string_view (&lines)[N]) {
  std::size_t bytes = 0;
  for (std::string_view line : lines) bytes += line.size() + kCrLf.size();
  return bytes;
}
inline constexpr std::string_view kDefaultSerialPattern = "000";

// The header's three MIME lines; a record's byte count starts at their size with line ends.
inline constexpr std::string_view kMimeVersionLine = "MIME-Version: 1.0";
inline constexpr std::string_view kContentTypeLine = "Content-Type: text/plain; charset=Shift_JIS";
inline constexpr std::string_view kTransferEncodingLine = "Content-Transfer-Encoding: 8bit";
inline constexpr std::string_view kCountedHeaderLines[] = {kMimeVersionLine, kContentTypeLine,
                                                           kTransferEncodingLine};
inline constexpr std::int64_t kCountedHeaderBytes = bytesWithLineEnds(kCountedHeaderLines);

// Which header value follows a line's fixed start.
enum class HeaderValue { None, Date, From, Subject, To };

// The header, line by line in order: the whole line, or the start its value follows.
struct HeaderLine {
  std::string_view text;
  HeaderValue value = HeaderValue::None;
};
inline constexpr HeaderLine kHeaderLines[] = {
    {"BEGIN:VMSG"},
    {"VERSION:1.1"},
    {"X-IRMC-STATUS:READ"},
    {"X-IRMC-TYPE:INET"},
    {"X-IRMC-BOX:INBOX"},
    {"BEGIN:VBODY"},
    {"Date: ", HeaderValue::Date},
    {"From: ", HeaderValue::From},
    {"Subject: ", HeaderValue::Subject},
    {"To: ", HeaderValue::To},
    {"Cc: "},
    {kMimeVersionLine},
    {kContentTypeLine},
    {kTransferEncodingLine},
    {""},
};

// The footer's lines after the body, and their size with line ends.
inline constexpr std::string_view kFooterLines[] = {"", "END:VBODY", "END:VMSG"};
inline constexpr std::size_t kFooterBytes = bytesWithLineEnds(kFooterLines);

// What the header is made of; in the window, the current contents of its fields.
struct HeaderInputs {
  std::u16string date;
  std::u16string from;
  std::u16string subject;
  std::u16string subjectTail;  // after the serial, as it stands: the heading a record starts at
  bool serialOn = true;
  std::u16string pattern{kDefaultSerialPattern.begin(), kDefaultSerialPattern.end()};
  std::u16string to;
};

// The serial as the pattern shows it (formatWholeNumber's rules).
std::u16string renderSerial(int number, std::u16string_view pattern);

class Message {
 public:
  // The serial is a signed 16-bit number.
  static constexpr int kMaxSerial = std::numeric_limits<std::int16_t>::max();

  void NewFile();
  void AddText(std::string_view bytes);    // one body line, raw bytes
  void AddText(std::u16string_view text);  // one line of text, encoded here
  // False when the Subject would need a serial past kMaxSerial (the serials have run out); the
  // buffer is then as it was.
  [[nodiscard]] bool AddHeader(const HeaderInputs& in);
  void AddFooter();
  // A long line in pieces: AddPiece for each, then EndLine; the bytes of one AddText.
  void AddPiece(std::string_view bytes) { cur_.append(bytes); }
  void EndLine();
  // Room for a record of this many bytes, so a large record is not grown by repeated copies.
  void reserve(std::size_t bytes) { cur_.reserve(bytes); }

  const std::string& curMessage() const { return cur_; }

  // The serial the next numbered Subject gets; kMaxSerial + 1 once all are used.
  int subjectSerial() const { return serial_; }
  void setSubjectSerial(int serial);  // 0..kMaxSerial, for a first serial chosen by the caller

 private:
  void append(std::string_view bytes);

  std::string cur_;
  int serial_ = 0;
};

}  // namespace orvella
