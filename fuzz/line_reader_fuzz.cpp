// The line reader on any bytes, read in blocks of any size: the same lines as the byte-by-byte
// rules, every byte of the input accounted for, and a line said to hold no NUL holds none.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/line_reader.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the block size, so line ends fall on every side of a block boundary.
  const std::size_t block = data[0] == 0xFF ? orvella::LineReader::kBlockSize : std::size_t{1} + data[0];
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  static orvella::fuzz::MemFile file;
  file.fill(input);

  // Bytes taken as they are: detection would decode a text that happens to read as UTF-8.
  orvella::LineReader reader(file.path(), block, {}, orvella::EncodingChoice::Cp932);
  FUZZ_CHECK(!reader.failure());
  std::vector<std::string> lines;
  std::string_view line;  // the copy-free form; the copying one is built on it
  while (reader.next(line)) {
    if (!reader.lineMayHoldNul()) FUZZ_CHECK(line.find('\0') == std::string_view::npos);
    lines.emplace_back(line);
  }
  FUZZ_CHECK(!reader.failure() && !reader.wasInterrupted());
  FUZZ_CHECK(lines == orvella::fuzz::referenceLines(input));
  FUZZ_CHECK(reader.bytesRead() == input.size());
  // Past the end it stays at the end.
  std::string copy = "left over";
  FUZZ_CHECK(!reader.next(copy) && copy.empty());
  return 0;
}
