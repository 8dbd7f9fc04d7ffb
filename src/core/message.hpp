// One vMessage record built in memory as the exact code page 932 bytes to be written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvella {

// What the header is made of; in the window, the current contents of its fields.
struct HeaderInputs {
  std::u16string date;
  std::u16string from;
  std::u16string subject;
  bool serialOn = true;
  std::u16string pattern = u"000";
  std::u16string to;
};

// Thrown by AddHeader when the next Subject would need a serial past 32767.
class SerialExhausted : public std::runtime_error {
 public:
  SerialExhausted() : std::runtime_error("subject serial exhausted") {}
};

// The serial as the pattern shows it: '0' a zero-padded digit, '#' a digit without padding,
// anything else as it stands; extra digits go left; an empty pattern gives the plain number.
std::u16string renderSerial(int number, std::u16string_view pattern);

class Message {
 public:
  static constexpr int kMaxSerial = 32767;

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
  void setSubjectSerial(int serial);  // 0..32767, for a first serial chosen by the caller

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
