// What only Windows asks of orvella-convert: names outside the code page, UTF-16 arguments, the
// input shared while it is read, its bytes untouched by text mode, read-only records, and the
// version record Explorer shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_texts.hpp"
#include "convert/line_reader.hpp"
#include "convert/reasons.hpp"
#include "convert/texts.hpp"
#include "core/cp932.hpp"
#include "core/utf.hpp"
#include "core/version.hpp"
#include "platform/files.hpp"
#include "support/program.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::contains;
using testing::filesIn;
using testing::Outcome;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

constexpr char kDate[] = "Wed, 11 Feb 2004 05:15:55 +0900";

std::string subjectLine(const std::string& record) {
  const auto at = record.find("Subject: ");
  if (at == std::string::npos) return {};
  return record.substr(at, record.find("\r\n", at) - at);
}

TEST(WindowsNames, JapaneseFolderAndFileNamesArriveAsThemselves) {
  TempDir dir;
  const fs::path folder = dir.path() / pathFromUtf8("変換先 フォルダ");
  const fs::path input = dir.path() / pathFromUtf8("小説 第一部.txt");
  fs::create_directory(folder);
  writeFile(input, "abc\r\n");
  // Handed over as UTF-16, the way Explorer and cmd.exe start a program.
  const Outcome o = testing::runWide(dir.path(), {L"--date", L"Wed, 11 Feb 2004 05:15:55 +0900", L"-o",
                                                  folder.wstring(), input.wstring()});
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(filesIn(folder), std::vector<std::string>{"E1__0000.VMG"});
  // The Subject is the file's own name, in code page 932, not the bytes of some other reading.
  const std::u16string expected = u"Subject: 小説 第一部-000";
  EXPECT_EQ(subjectLine(readFile(folder / "E1__0000.VMG")), cp932::encode(expected));
  // Messages to a file are UTF-8, so the folder's name reads back as it was written.
  EXPECT_TRUE(contains(o.err, texts::kCompleted)) << o.err;
}

TEST(WindowsNames, UtfEightArgumentsNameTheSameFolder) {
  TempDir dir;
  const fs::path folder = dir.path() / pathFromUtf8("出力");
  fs::create_directory(folder);
  const fs::path input = folder.parent_path() / pathFromUtf8("表示.txt");  // 表 ends in the byte of "\"
  writeFile(input, "x\r\n");
  const Outcome o = testing::run(dir.path(), {"-q", "--date", kDate, "-o", utf8Of(folder), utf8Of(input)});
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(subjectLine(readFile(folder / "E1__0000.VMG")), cp932::encode(u"Subject: 表示-000"));
}

TEST(WindowsArguments, AnUnpairedSurrogateIsRefusedWithExitTwo) {
  TempDir dir;
  const fs::path out = dir / "out";
  fs::create_directory(out);
  writeFile(dir / "in.txt", "abc\r\n");
  for (const std::wstring& bad : {std::wstring{L'\xD800'}, std::wstring(L"ab") + L'\xDC00', std::wstring{L'\xDFFF', L'\xD800'}}) {
    const Outcome o = testing::runWide(dir.path(), {L"--subject", bad, L"-o", out.wstring(), (dir / "in.txt").wstring()});
    EXPECT_EQ(o.code, 2) << o.err;
    EXPECT_TRUE(contains(o.err, cli_texts::kArgumentNotText)) << o.err;
    EXPECT_TRUE(filesIn(out).empty());
  }
}

TEST(WindowsInput, CrLfAndCtrlZAreReadAsTheyStand) {
  TempDir dir;
  // Text mode would fold CR LF into LF (fewer bytes read) and stop at the first Ctrl-Z.
  constexpr char kText[] = "one\r\ntwo\x1a three\r\n\x1a\rfour\n";
  writeFile(dir / "in.txt", std::string(kText, sizeof kText - 1));
  LineReader reader(dir / "in.txt");
  std::vector<std::string> lines;
  std::string line;
  while (reader.next(line)) lines.push_back(line);
  ASSERT_TRUE(reader.ok()) << reasonText(reader.error());
  EXPECT_EQ(lines, (std::vector<std::string>{"one", std::string("two\x1a three", 10), "\x1a", "four"}));
  EXPECT_EQ(reader.bytesRead(), sizeof kText - 1);
}

TEST(WindowsInput, MayBeRenamedAndDeletedWhileItIsRead) {
  TempDir dir;
  writeFile(dir / "in.txt", "abcdef");
  platform::InputFile file;
  ASSERT_FALSE(file.open(dir / "in.txt"));
  std::error_code ec;
  fs::rename(dir / "in.txt", dir / "moved.txt", ec);
  EXPECT_FALSE(ec) << ec.message();
  fs::remove(dir / "moved.txt", ec);
  EXPECT_FALSE(ec) << ec.message();
  char buf[16];
  const platform::ReadResult r = file.read(buf, sizeof buf);
  EXPECT_FALSE(r.error);
  EXPECT_EQ(std::string(buf, r.bytes), "abcdef");
}

TEST(WindowsRecords, AReadOnlyRecordIsRefusedAndKept) {
  TempDir dir;
  const fs::path out = dir / "out";
  fs::create_directory(out);
  writeFile(out / "E1__0000.VMG", "old");
  fs::permissions(out / "E1__0000.VMG", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ASSERT_TRUE(::GetFileAttributesW((out / "E1__0000.VMG").c_str()) & FILE_ATTRIBUTE_READONLY);
  writeFile(dir / "in.txt", "abc\r\n");
  const Outcome o = testing::run(dir.path(), {"--date", kDate, "-o", utf8Of(out), utf8Of(dir / "in.txt")});
  EXPECT_EQ(o.code, 1) << o.err;
  EXPECT_TRUE(contains(o.err, texts::kWriteError)) << o.err;
  EXPECT_TRUE(contains(o.err, reasonText({platform::ErrorKind::ReadOnly, 0}))) << o.err;
  EXPECT_EQ(readFile(out / "E1__0000.VMG"), "old");
  EXPECT_EQ(filesIn(out), std::vector<std::string>{"E1__0000.VMG"});  // no hidden record left behind
}

TEST(WindowsRecords, AnOlderRecordIsReplacedWhole) {
  TempDir dir;
  const fs::path out = dir / "out";
  fs::create_directory(out);
  writeFile(out / "E1__0000.VMG", std::string(5000, 'o'));
  writeFile(dir / "in.txt", "abc\r\n");
  const Outcome o = testing::run(dir.path(), {"-q", "--date", kDate, "-o", utf8Of(out), utf8Of(dir / "in.txt")});
  ASSERT_EQ(o.code, 0) << o.err;
  const std::string record = readFile(out / "E1__0000.VMG");
  EXPECT_EQ(record.find('o' + std::string(10, 'o')), std::string::npos);
  EXPECT_NE(record.find("\r\nabc\r\n"), std::string::npos);
  // Committed records are plain files, not the hidden ones they started as.
  EXPECT_FALSE(::GetFileAttributesW((out / "E1__0000.VMG").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

std::wstring versionValue(const std::vector<char>& block, const wchar_t* name) {
  void* value = nullptr;
  UINT size = 0;
  const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
  if (!::VerQueryValueW(block.data(), key.c_str(), &value, &size) || size == 0) return {};
  return std::wstring(static_cast<const wchar_t*>(value), size - 1);
}

TEST(WindowsVersionRecord, NamesTheVersionCommentAndProduct) {
  const std::wstring exe = testing::program().wstring();
  const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));
  EXPECT_EQ(versionValue(block, L"FileVersion"), testing::widen(kVersion));
  EXPECT_EQ(versionValue(block, L"ProductVersion"), testing::widen(kVersion));
  EXPECT_EQ(versionValue(block, L"ProductName"), L"Orvella");
  EXPECT_EQ(versionValue(block, L"Comments"), testing::widen("テキストファイルをvMessageに変換します。"));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1u);
  // The icon goes with it.
  const HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)), nullptr);  // RT_GROUP_ICON
  ::FreeLibrary(module);
}

}  // namespace
}  // namespace orvella
