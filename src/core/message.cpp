#include "core/message.hpp"

#include <string>

#include "core/cp932.hpp"

namespace orvella {

namespace {
constexpr std::string_view kCrLf = "\r\n";
}

std::u16string renderSerial(int number, std::u16string_view pattern) {
  std::u16string digits;
  for (int n = number < 0 ? -number : number; n > 0 || digits.empty(); n /= 10) {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
  }
  if (number == 0) digits.clear();  // zero shows only where a '0' position asks for it
  std::u16string sign = number < 0 ? u"-" : u"";

  std::size_t positions = 0;
  for (char16_t c : pattern) positions += (c == u'0' || c == u'#');
  if (positions == 0) {
    if (pattern.empty()) return sign.append(number == 0 ? u"0" : digits);
    return std::u16string(pattern);
  }

  // Digits fill the positions from the right; those left over go into the leftmost one.
  std::u16string out;
  std::size_t position = 0;
  const std::size_t extra = digits.size() > positions ? digits.size() - positions : 0;
  for (char16_t c : pattern) {
    if (c != u'0' && c != u'#') {
      out += c;
      continue;
    }
    const std::size_t fromRight = positions - position;  // 1 for the last position
    if (position == 0 && extra > 0) {
      out.append(digits, 0, extra + 1);
    } else if (fromRight <= digits.size()) {
      out += digits[digits.size() - fromRight];
    } else if (c == u'0') {
      out += u'0';
    }
    ++position;
  }
  return sign.append(out);
}

void Message::append(std::string_view bytes) {
  prev_ = cur_.size();
  cur_.append(bytes);
  cur_.append(kCrLf);
  notify();
}

void Message::NewFile() {
  cur_.clear();
  prev_ = 0;
}

void Message::AddText(std::string_view bytes) { append(bytes); }

void Message::AddText(std::u16string_view text) { append(cp932::encode(text)); }

void Message::EndLine() {
  cur_.append(kCrLf);
  notify();
}

void Message::TakeBack() {
  cur_.resize(prev_);
  notify();
}

void Message::setSubjectSerial(int serial) {
  if (serial < 0 || serial > kMaxSerial) throw std::out_of_range("subject serial out of range");
  serial_ = serial;
}

void Message::AddHeader(const HeaderInputs& in) {
  if (in.serialOn && serial_ > kMaxSerial) throw SerialExhausted();

  const auto line = [](std::u16string_view name, std::u16string_view value) {
    std::u16string text(name);
    text.append(value);
    return text;
  };
  std::u16string subject = line(u"Subject: ", in.subject);
  if (in.serialOn) subject.append(u"-").append(renderSerial(serial_, in.pattern));

  AddText(std::string_view("BEGIN:VMSG"));
  AddText(std::string_view("VERSION:1.1"));
  AddText(std::string_view("X-IRMC-STATUS:READ"));
  AddText(std::string_view("X-IRMC-TYPE:INET"));
  AddText(std::string_view("X-IRMC-BOX:INBOX"));
  AddText(std::string_view("BEGIN:VBODY"));
  AddText(line(u"Date: ", in.date));
  AddText(line(u"From: ", in.from));
  AddText(subject);
  AddText(line(u"To: ", in.to));
  AddText(std::string_view("Cc: "));
  AddText(std::string_view("MIME-Version: 1.0"));
  AddText(std::string_view("Content-Type: text/plain; charset=Shift_JIS"));
  AddText(std::string_view("Content-Transfer-Encoding: 8bit"));
  AddText(std::string_view(""));
  if (in.serialOn) ++serial_;
}

void Message::AddFooter() {
  AddText(std::string_view(""));
  AddText(std::string_view("END:VBODY"));
  AddText(std::string_view("END:VMSG"));
}

}  // namespace orvella
