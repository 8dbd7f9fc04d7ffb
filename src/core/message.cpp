#include "core/message.hpp"

#include <stdexcept>
#include <string>

#include "core/cp932.hpp"
#include "core/serial_pattern.hpp"

namespace orvella {

std::u16string renderSerial(int number, std::u16string_view pattern) {
  return formatWholeNumber(number, pattern);
}

void Message::append(std::string_view bytes) {
  cur_.append(bytes);
  cur_.append(kCrLf);
}

void Message::NewFile() { cur_.clear(); }

void Message::AddText(std::string_view bytes) { append(bytes); }

void Message::AddText(std::u16string_view text) { append(cp932::encode(text)); }

void Message::EndLine() { cur_.append(kCrLf); }

void Message::setSubjectSerial(int serial) {
  if (serial < 0 || serial > kMaxSerial) throw std::out_of_range("subject serial out of range");
  serial_ = serial;
}

bool Message::AddHeader(const HeaderInputs& in) {
  if (in.serialOn && serial_ > kMaxSerial) return false;

  for (const HeaderLine& line : kHeaderLines) {
    if (line.value == HeaderValue::None) {
      AddText(line.text);
      continue;
    }
    std::u16string text(line.text.begin(), line.text.end());
    switch (line.value) {
      case HeaderValue::Date:
        text.append(in.date);
        break;
      case HeaderValue::From:
        text.append(in.from);
        break;
      case HeaderValue::To:
        text.append(in.to);
        break;
      case HeaderValue::Subject:
        text.append(in.subject);
        if (in.serialOn) text.append(u"-").append(renderSerial(serial_, in.pattern));
        text.append(in.subjectTail);
        break;
      case HeaderValue::None:
        break;
    }
    AddText(text);
  }
  if (in.serialOn) ++serial_;
  return true;
}

void Message::AddFooter() {
  for (std::string_view line : kFooterLines) AddText(line);
}

}  // namespace orvella
