#include "core/length_b.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/cp932.hpp"

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#define ORVELLA_HAVE_MMAP 1
#endif

namespace orvella {
namespace {

TEST(LengthB, CountsCodePage932Bytes) {
  const std::vector<std::pair<std::u16string, std::int32_t>> cases = {
      {u"", 0},
      {u"abc", 3},
      {u"あいう", 6},
      {u"ｱｲｳ", 3},
      {u"変換", 4},
      {std::u16string(1, u'\0'), 2},
      {u"From: 太郎 <a@b>", 16},
      {u"\uE000\uE757", 4},                                 // user-defined area is double-byte
      {u"\u00A6", 1},                                       // no code: written as '?'
      {u"\u301C\u2212\u2016\u2014\u00A2\u00A3\u00AC", 14},  // JIS readings, double-byte
      {u"\u00A5\u203E", 2},                                 // JIS-Roman readings 0x5C and 0x7E
      {u"\xD800", 1},                                       // lone surrogate: written as '?'
      {u"😀", 2},                                            // each half counts 1, though written as one '?'
  };
  for (const auto& [text, bytes] : cases) {
    EXPECT_EQ(LengthB(text), bytes) << text.size() << " units";
  }
}

TEST(LengthB, LeavesItsArgumentAlone) {
  const std::u16string text = u"変換abc";
  const std::u16string copy = text;
  LengthB(text);
  EXPECT_EQ(text, copy);
}

TEST(LengthBRawLine, CountsEachNulTwice) {
  const std::vector<std::pair<std::string, std::int64_t>> cases = {
      {"", 0},
      {"abc", 3},
      {"\x95\xCF\x8A\xB7", 4},
      {std::string("\0", 1), 2},
      {std::string("a\0b\0\0c", 6), 9},
      {std::string(1000, '\0'), 2000},
      {"\x80\xFF\x82", 3},  // not valid code page 932: still its length
  };
  for (const auto& [bytes, length] : cases) EXPECT_EQ(rawLineLength(bytes), length) << bytes.size();
}

TEST(LengthBRawLine, EqualsLengthBOfTheDecodedLineForEveryCode) {
  // Each single character of the code page, alone and inside a line with a NUL.
  int checked = 0;
  for (unsigned code = 0; code < 0x10000; ++code) {
    std::string bytes;
    if (code > 0xFF)
      bytes = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    else
      bytes = std::string(1, static_cast<char>(code));
    const std::u16string text = cp932::decode(bytes);
    if (text.size() != 1 || text[0] == u'\uFFFD') continue;
    ++checked;
    ASSERT_EQ(rawLineLength(bytes), LengthB(text)) << std::hex << code;
    const std::string line = "x" + bytes + std::string("\0y", 2);
    ASSERT_EQ(rawLineLength(line), LengthB(cp932::decode(line))) << std::hex << code;
  }
  EXPECT_GT(checked, 9000);
}

#ifdef ORVELLA_HAVE_MMAP

// A view of `units` UTF-16 units that are all NUL but for the last few, backed by untouched
// anonymous pages so that only the written tail costs memory.
class ZeroText {
 public:
  explicit ZeroText(std::size_t units) : size_(units * sizeof(char16_t)) {
    void* p =
        mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    data_ = p == MAP_FAILED ? nullptr : static_cast<char16_t*>(p);
    units_ = units;
  }
  ~ZeroText() {
    if (data_) munmap(data_, size_);
  }
  ZeroText(const ZeroText&) = delete;
  ZeroText& operator=(const ZeroText&) = delete;
  bool ok() const { return data_ != nullptr; }
  std::u16string_view view() const { return {data_, units_}; }
  char16_t& back(std::size_t fromEnd) { return data_[units_ - 1 - fromEnd]; }

 private:
  std::size_t size_;
  std::size_t units_ = 0;
  char16_t* data_ = nullptr;
};

TEST(LengthB, ThrowsPastInt32Max) {
  if constexpr (sizeof(std::size_t) < 8) GTEST_SKIP() << "needs a 64-bit address space";
  // 2^30 - 1 NULs count 2^31 - 2; two more ASCII units reach INT32_MAX and then pass it.
  const std::size_t nuls = (std::size_t{1} << 30) - 1;
  ZeroText text(nuls + 2);
  if (!text.ok()) GTEST_SKIP() << "cannot reserve 2 GiB of address space";
  text.back(0) = u'a';
  text.back(1) = u'a';
  EXPECT_EQ(LengthB(text.view().substr(0, nuls + 1)), std::numeric_limits<std::int32_t>::max());
  EXPECT_THROW(LengthB(text.view()), std::overflow_error);
}

#endif

}  // namespace
}  // namespace orvella
