#include "core/message.hpp"

#include <string>

#include "core/cp932.hpp"
#include "core/serial_pattern.hpp"

namespace orvella {

std::u16string renderSerial(int number, std::u16string_view pattern) {
  return formatWholeNumber(number, pattern);
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
  AddText(kMimeVersionLine);
  AddText(kContentTypeLine);
  AddText(kTransferEncodingLine);
  AddText(std::string_view(""));
  if (in.serialOn) ++serial_;
}

void Message::AddFooter() {
  for (std::string_view line : kFooterLines) AddText(line);
}

}  // namespace orvella
