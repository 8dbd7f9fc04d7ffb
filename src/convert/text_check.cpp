#include "convert/text_check.hpp"

#include <stdexcept>

#include "core/message.hpp"

namespace orvella {

namespace {

// Every record dated alike, as a check stands for a run at one moment.
class FixedDate : public ConvertHost {
 public:
  explicit FixedDate(const std::u16string& date) : date_(date) {}
  std::u16string DateText() override { return date_; }

 private:
  const std::u16string& date_;
};

}  // namespace

CheckResult checkText(const ConvertSettings& settings, const std::u16string& date, int firstSerial) {
  return checkTexts(settings, {{settings.input, std::nullopt}}, date, firstSerial).front();
}

std::vector<CheckResult> checkTexts(const ConvertSettings& settings, const std::vector<ConvertInput>& inputs,
                                    const std::u16string& date, int firstSerial) {
  if (settings.limit < 1) throw std::invalid_argument("checkText: a limit below 1");
  Message message;
  message.setSubjectSerial(firstSerial);
  FixedDate host(date);
  return countRecords(settings, inputs, message, host);
}

}  // namespace orvella
