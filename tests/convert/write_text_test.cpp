#include "convert/write_text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/reasons.hpp"
#include "convert/texts.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

struct Reports {
  std::vector<std::string> messages;
  WriteErrorReport sink() {
    return [this](std::string_view m) { messages.emplace_back(m); };
  }
};

// Everything in the folder other than the named files: a leftover temporary shows up here.
std::vector<std::string> strayEntries(const fs::path& dir, const std::vector<std::string>& expected) {
  std::vector<std::string> stray;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (std::find(expected.begin(), expected.end(), name) == expected.end()) stray.push_back(name);
  }
  return stray;
}

struct WriteCase {
  const char* name;
  std::string before;  // existing content, or "-" for none
  std::string text;
};

class WriteTextContent : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteTextContent, FileHoldsExactlyTheNewBytes) {
  const WriteCase& c = GetParam();
  TempDir dir;
  const fs::path target = dir / "E1__0000.VMG";
  if (c.before != "-") writeFile(target, c.before);
  Reports r;
  EXPECT_TRUE(WriteText(target, c.text, r.sink()));
  EXPECT_EQ(readFile(target), c.text);
  EXPECT_TRUE(r.messages.empty());
  EXPECT_TRUE(strayEntries(dir.path(), {"E1__0000.VMG"}).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteTextContent,
    ::testing::Values(WriteCase{"Ascii", "-", "ABC\r\n"}, WriteCase{"Kanji", "-", "\x95\xCF\x8A\xB7"},
                      WriteCase{"Empty", "-", ""}, WriteCase{"ShorterOverLonger", std::string(50, 'x'), "0123456789"},
                      WriteCase{"BinaryWithNul", "-", std::string("a\0b\xFF\r\n", 6)},
                      WriteCase{"Large", "old", std::string(3 * 1024 * 1024 + 7, '\x82')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteText, SecondWriteToTheSameNameReplacesTheFirst) {
  TempDir dir;
  Reports r;
  ASSERT_TRUE(WriteText(dir / "a.VMG", "first text, longer", r.sink()));
  ASSERT_TRUE(WriteText(dir / "a.VMG", "second", r.sink()));
  EXPECT_EQ(readFile(dir / "a.VMG"), "second");
  EXPECT_TRUE(strayEntries(dir.path(), {"a.VMG"}).empty());
}

TEST(WriteText, MissingFolderFailsOnceAndCreatesNothing) {
  TempDir dir;
  Reports r;
  EXPECT_FALSE(WriteText(dir / "missing" / "E1__0000.VMG", "x", r.sink()));
  ASSERT_EQ(r.messages.size(), 1u);
  // The one report names the file and says why, in Japanese.
  EXPECT_EQ(r.messages[0], std::string(texts::kWriteError) + "\n" + (dir / "missing" / "E1__0000.VMG").string() +
                               ": " + reasonText({platform::ErrorKind::NotFound, 0}));
  EXPECT_FALSE(fs::exists(dir / "missing"));
  EXPECT_TRUE(strayEntries(dir.path(), {}).empty());
}

TEST(WriteText, ReadOnlyTargetIsAFailureAndKeepsItsContent) {
  TempDir dir;
  const fs::path target = dir / "E1__0001.VMG";
  writeFile(target, "older record");
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  Reports r;
  EXPECT_FALSE(WriteText(target, "new", r.sink()));
  EXPECT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(readFile(target), "older record");
  EXPECT_TRUE(strayEntries(dir.path(), {"E1__0001.VMG"}).empty());
}

TEST(WriteText, DirectoryInTheWayIsAFailure) {
  TempDir dir;
  fs::create_directory(dir / "E1__0002.VMG");
  Reports r;
  EXPECT_FALSE(WriteText(dir / "E1__0002.VMG", "x", r.sink()));
  EXPECT_EQ(r.messages.size(), 1u);
  EXPECT_TRUE(fs::is_directory(dir / "E1__0002.VMG"));
  EXPECT_TRUE(strayEntries(dir.path(), {"E1__0002.VMG"}).empty());
}

TEST(WriteText, FailureLeavesTheWriterReadyForTheNextCall) {
  TempDir dir;
  Reports r;
  EXPECT_FALSE(WriteText(dir / "nope" / "a.VMG", "x", r.sink()));
  EXPECT_TRUE(WriteText(dir / "b.VMG", "y", r.sink()));
  EXPECT_EQ(readFile(dir / "b.VMG"), "y");
  EXPECT_EQ(r.messages.size(), 1u);
}

TEST(WriteText, NonAsciiFolderNamesWork) {
  TempDir dir;
  const fs::path folder = dir / "出力 表ソ";
  fs::create_directory(folder);
  Reports r;
  EXPECT_TRUE(WriteText(folder / "E1__0000.VMG", "z", r.sink()));
  EXPECT_EQ(readFile(folder / "E1__0000.VMG"), "z");
}

TEST(WriteText, WorksWithoutAReportCallback) {
  TempDir dir;
  EXPECT_FALSE(WriteText(dir / "missing" / "x.VMG", "x", nullptr));
  EXPECT_FALSE(WriteText(dir.path() / "", "x", nullptr));
}

}  // namespace
}  // namespace orvella
