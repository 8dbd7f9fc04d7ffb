// The whole conversion on any input with a small limit: nothing lost or reordered, no record
// past the limit unless it holds a single line, each record as full as the limit allows, and
// an empty first record only when the first line alone overflows.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "convert/converter.hpp"
#include "convert/text_check.hpp"
#include "core/length_b.hpp"
#include "fuzz_support.hpp"

namespace {

namespace fs = std::filesystem;
using namespace orvella;

constexpr std::int64_t kCounted = 97;
// Enough room for any input the fuzzer makes at its default sizes to end before file 9999.
constexpr std::size_t kMaxInput = 8000;

struct Host : ConvertHost {
  fs::path folder;
  std::int64_t progress = 0;

  std::u16string DateText() override { return u"Wed, 11 Feb 2004 05:15:55 +0900"; }
  void Progress(std::int64_t add) override { progress += add; }
};

// A fresh folder for one input's records, on tmpfs when there is one; removed once checked.
fs::path makeOutputFolder() {
  const char* base = std::getenv("ORVELLA_FUZZ_TMP");
  const fs::path root = base                           ? fs::path(base)
                        : fs::is_directory("/dev/shm") ? fs::path("/dev/shm")
                                                       : fs::temp_directory_path();
  std::string tmpl = (root / "orvella-fuzz-XXXXXX").string();
  FUZZ_CHECK(::mkdtemp(tmpl.data()) != nullptr);
  return tmpl;
}

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Body lines between the header's blank line and the footer; body lines hold no CR.
std::vector<std::string> bodyLines(const std::string& record) {
  static const std::string kHeadEnd = "\r\nContent-Transfer-Encoding: 8bit\r\n\r\n";
  static const std::string kFooter = "\r\nEND:VBODY\r\nEND:VMSG\r\n";
  FUZZ_CHECK(record.rfind("BEGIN:VMSG\r\n", 0) == 0);
  const std::size_t start = record.find(kHeadEnd);
  FUZZ_CHECK(start != std::string::npos);
  const std::size_t from = start + kHeadEnd.size();
  FUZZ_CHECK(record.size() >= from + kFooter.size());
  FUZZ_CHECK(record.compare(record.size() - kFooter.size(), kFooter.size(), kFooter) == 0);
  const std::string body = record.substr(from, record.size() - kFooter.size() - from);
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < body.size()) {
    const std::size_t end = body.find("\r\n", at);
    FUZZ_CHECK(end != std::string::npos);
    lines.push_back(body.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

std::int64_t counted(const std::vector<std::string>& lines) {
  std::int64_t count = kCounted;
  for (const auto& l : lines) count += rawLineLength(l) + 2;
  return count;
}

// The body lines of each record the run wrote, each with its own Subject serial; the folder,
// which must hold nothing else, goes with them.
std::vector<std::vector<std::string>> takeRecords(const fs::path& folder, int count) {
  std::vector<std::vector<std::string>> records;
  for (int n = 0; n < count; ++n) {
    const fs::path p = folder / fileNameFor(n);
    const std::string record = readAll(p);
    char subject[32];
    std::snprintf(subject, sizeof subject, "\r\nSubject: fuzz-%03d\r\n", n);
    FUZZ_CHECK(record.find(subject) != std::string::npos);
    records.push_back(bodyLines(record));
    fs::remove(p);
  }
  FUZZ_CHECK(fs::is_empty(folder));
  fs::remove(folder);
  return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size - 2 > kMaxInput) return 0;
  const std::int64_t limit = 100 + (data[0] << 8 | data[1]) % 301;
  const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);

  static orvella::fuzz::MemFile file;
  file.fill(input);

  Host host;
  host.folder = makeOutputFolder();
  ConvertSettings settings;
  settings.input = file.path();
  settings.folder = host.folder;
  settings.limit = static_cast<std::int32_t>(limit);
  settings.header.subject = u"fuzz";
  settings.encoding = EncodingChoice::Cp932;  // any bytes, taken as they are
  Message message;
  const ConvertResult result = Convert(settings, message, host);

  FUZZ_CHECK(result.status == ConvertStatus::Completed);
  FUZZ_CHECK(result.failedFiles.empty());
  FUZZ_CHECK(!result.message.empty() && result.messageKind == MessageKind::Information);
  // --check foresees the same records.
  FUZZ_CHECK(checkText(settings, host.DateText(), 0).records ==
             static_cast<std::uint64_t>(result.filesWritten));
  FUZZ_CHECK(result.filesWritten >= 1 && result.nextNumber == result.filesWritten);

  const std::vector<std::vector<std::string>> records = takeRecords(host.folder, result.filesWritten);

  // Nothing lost, nothing added, nothing reordered.
  const std::vector<std::string> expected = orvella::fuzz::referenceLines(input);
  std::vector<std::string> got;
  for (const auto& r : records) got.insert(got.end(), r.begin(), r.end());
  FUZZ_CHECK(got == expected);
  // Every byte read moves the bar, line ends included.
  FUZZ_CHECK(host.progress == static_cast<std::int64_t>(input.size()));

  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto& r = records[i];
    // Within the limit, unless the record is one over-long line standing alone.
    FUZZ_CHECK(counted(r) <= limit || r.size() == 1);
    // Only the first record may be empty ...
    if (i > 0) FUZZ_CHECK(!r.empty());
    // ... and no record could have taken the next one's first line.
    if (i + 1 < records.size()) {
      FUZZ_CHECK(counted(r) + rawLineLength(records[i + 1].front()) + 2 > limit);
    }
  }
  // The first record is empty exactly when the input is, or its first line overflows alone.
  const bool firstOverflows = !expected.empty() && kCounted + rawLineLength(expected.front()) + 2 > limit;
  FUZZ_CHECK(records.front().empty() == (expected.empty() || firstOverflows));
  if (expected.empty()) FUZZ_CHECK(records.size() == 1);
  return 0;
}
