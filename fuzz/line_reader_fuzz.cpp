// The line reader on any bytes, read in blocks of any size: the same lines as the byte-by-byte
// rules, and every byte of the input accounted for.
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

  orvella::LineReader reader(file.path(), block);
  FUZZ_CHECK(reader.ok());
  std::vector<std::string> lines;
  std::string line;
  while (reader.next(line)) lines.push_back(line);
  FUZZ_CHECK(reader.ok());
  FUZZ_CHECK(lines == orvella::fuzz::referenceLines(input));
  FUZZ_CHECK(reader.bytesRead() == input.size());
  // Past the end it stays at the end.
  FUZZ_CHECK(!reader.next(line) && line.empty());
  return 0;
}
