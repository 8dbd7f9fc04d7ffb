// What only Windows asks of orvella-convert: names outside the code page, UTF-16 arguments, the
// input shared while it is read, its bytes untouched by text mode, read-only records, records
// held open by other programs, device names, long paths, redirected output in the code page,
// and the version record Explorer shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_texts.hpp"
#include "convert/converter.hpp"
#include "convert/line_reader.hpp"
#include "convert/reasons.hpp"
#include "convert/recording_host.hpp"
#include "convert/texts.hpp"
#include "core/cp932.hpp"
#include "core/utf.hpp"
#include "core/version.hpp"
#include "platform/files.hpp"
#include "platform/windows/long_paths.hpp"
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
  const Outcome o = testing::runWide(
      dir.path(), {L"--date", L"Wed, 11 Feb 2004 05:15:55 +0900", L"-o", folder.wstring(), input.wstring()});
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(filesIn(folder), std::vector<std::string>{"E1__0000.VMG"});
  // The Subject is the file's own name, in code page 932, not the bytes of some other reading.
  const std::u16string expected = u"Subject: 小説 第一部-000";
  EXPECT_EQ(subjectLine(readFile(folder / "E1__0000.VMG")), cp932::encode(expected));
  EXPECT_TRUE(contains(o.err, texts::kCompleted)) << o.err;
}

TEST(WindowsNames, OnlyPathsPastTheLimitTakeTheExtendedForm) {
  std::wstring deep = L"C:\\";
  while (deep.size() < MAX_PATH) deep += L"長いフォルダ名の階層\\";
  std::wstring slashed = L"C:/余分/../" + deep.substr(3);
  std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
  const std::wstring cases[][2] = {
      {L"C:\\短い\\入力.txt", L"C:\\短い\\入力.txt"},
      {L"入力.txt", L"入力.txt"},
      {L"\\\\.\\pipe\\p", L"\\\\.\\pipe\\p"},
      {deep, L"\\\\?\\" + deep},
      {L"\\\\?\\" + deep, L"\\\\?\\" + deep},
      {slashed, L"\\\\?\\" + deep},
      {L"\\\\s\\share\\" + deep.substr(3), L"\\\\?\\UNC\\s\\share\\" + deep.substr(3)}};
  for (const auto& c : cases) EXPECT_EQ(platform::systemPath(c[0]), c[1]);
}

TEST(WindowsNames, FoldersPastTheOldPathLimitAreReadAndWritten) {
  TempDir dir;
  fs::path deep = dir.path();
  while (deep.native().size() < MAX_PATH) deep /= pathFromUtf8("長いフォルダ名の階層");
  const fs::path out = deep / pathFromUtf8("出力"), input = deep / pathFromUtf8("入力.txt");
  fs::create_directories(out);
  writeFile(input, std::string(300, 'a') + "\r\n" + std::string(300, 'b') + "\r\n");
  writeFile(out / "E1__0000.VMG", "old");
  writeFile(out / ".orvella-0123456789abcdef.tmp", "left by a killed run");
  const Outcome o = testing::run(dir.path(), {"-q", "--max-bytes", "400", "-o", utf8Of(out), utf8Of(input)});
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_TRUE(contains(readFile(out / "E1__0001.VMG"), std::string(300, 'b')));
  EXPECT_FALSE(fs::exists(out / ".orvella-0123456789abcdef.tmp"));
  // The folder is looked through as well as written: a record as the input is still refused.
  EXPECT_EQ(testing::run(dir.path(), {"-q", "-o", utf8Of(out), utf8Of(out / "E1__0001.VMG")}).code, 2);
}

// Read as the device it names, "nul.txt" would be an empty text converted without a word.
TEST(WindowsInput, DeviceNamesAreRefusedWithExitTwo) {
  TempDir dir;
  fs::create_directory(dir / "out");
  const std::vector<std::string> devices{"nul.txt",  "NUL",  "Con.tar.gz", "aux .txt",
                                         "com1.txt", "LPT9", "prn."};
  const std::vector<std::string> files{"nul_1.txt", "console.txt", "com10.txt", "lpt.txt"};
  for (const auto& name : files) writeFile(dir / name, "abc\r\n");
  for (const auto& [names, device] : {std::pair{devices, true}, std::pair{files, false}}) {
    for (const auto& name : names) {
      const Outcome o = testing::run(dir.path(), {"-q", "-o", utf8Of(dir / "out"), utf8Of(dir / name)});
      EXPECT_EQ(o.code, device ? 2 : 0) << name << ": " << o.err;
      EXPECT_EQ(contains(o.err, cli_texts::kInputIsDevice), device) << name << ": " << o.err;
      const auto refused = platform::InputFile().open(dir / name);  // the window opens through it too
      EXPECT_EQ(refused && refused->kind == platform::ErrorKind::DeviceName, device) << name;
    }
  }
}

TEST(WindowsOutput, RedirectedTextIsInTheConsoleCodePage) {
  if (::GetACP() != 932)
    GTEST_SKIP() << "needs code page 932 (scripts/windows-tests.sh runs Wine in Japanese)";
  TempDir dir;
  const fs::path missing = dir.path() / pathFromUtf8("出力 café");
  const Outcome o = testing::run(dir.path(), {"-o", utf8Of(missing), "in.txt"});
  const std::string line = std::string(cli_texts::kProgram) + ": " +
                           std::string(cli_texts::kOutputNotFolder) + utf8Of(missing) + "\n";
  // A character the page lacks is a "?", not a look-alike ("e") that names another folder.
  EXPECT_TRUE(contains(o.errBytes, cp932::encode(*utf8ToUtf16(line)))) << o.err;
  const Outcome help = testing::run(dir.path(), {"--help"});
  EXPECT_TRUE(help.outBytes.starts_with(cp932::encode(u"使い方"))) << help.out;
  EXPECT_TRUE(contains(help.outBytes, cp932::encode(u"0～"))) << help.out;
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
  for (const std::wstring& bad :
       {std::wstring{L'\xD800'}, std::wstring(L"ab") + L'\xDC00', std::wstring{L'\xDFFF', L'\xD800'}}) {
    const Outcome o =
        testing::runWide(dir.path(), {L"--subject", bad, L"-o", out.wstring(), (dir / "in.txt").wstring()});
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
  ASSERT_FALSE(reader.failure()) << failureText(*reader.failure());
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
  fs::permissions(out / "E1__0000.VMG",
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
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
  const Outcome o =
      testing::run(dir.path(), {"-q", "--date", kDate, "-o", utf8Of(out), utf8Of(dir / "in.txt")});
  ASSERT_EQ(o.code, 0) << o.err;
  const std::string record = readFile(out / "E1__0000.VMG");
  EXPECT_EQ(record.find('o' + std::string(10, 'o')), std::string::npos);
  EXPECT_NE(record.find("\r\nabc\r\n"), std::string::npos);
  // Committed records are plain files, not the hidden ones they started as.
  EXPECT_FALSE(::GetFileAttributesW((out / "E1__0000.VMG").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// A viewer that keeps a record open and shares no writes or deletion.
HANDLE holdOpen(const fs::path& file) {
  return ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

TEST(WindowsRecords, ARecordOpenInAnotherProgramIsSaidToBeInUse) {
  TempDir dir;
  fs::create_directory(dir / "out");
  writeFile(dir / "out" / "E1__0000.VMG", "old");
  writeFile(dir / "in.txt", "abc\r\n");
  const HANDLE held = holdOpen(dir / "out" / "E1__0000.VMG");
  const Outcome o = testing::run(dir.path(), {"-o", utf8Of(dir / "out"), utf8Of(dir / "in.txt")});
  ::CloseHandle(held);
  EXPECT_EQ(o.code, 1) << o.err;
  EXPECT_TRUE(contains(o.err, reasonText({platform::ErrorKind::InUse, 0}))) << o.err;
  EXPECT_EQ(readFile(dir / "out" / "E1__0000.VMG"), "old");
}

// Records another program opens once they are written cannot be flushed; the others still are,
// and the run says that every record was written and which are not confirmed.
TEST(WindowsRecords, EveryRecordIsFlushedAndThoseHeldElsewhereAreNamed) {
  testing::ConversionFolder f(u"note");
  f.settings.limit = 200;  // one line of sixty to a record
  std::vector<HANDLE> held;
  f.host.onStep = [&](int next) {
    if (next % 2 == 1) held.push_back(holdOpen(f.out / fileNameFor(next - 1)));
  };
  writeFile(f.settings.input,
            std::string(60, 'a') + "\r\n" + std::string(60, 'b') + "\r\n" + std::string(60, 'c'));
  const ConvertResult r = Convert(f.settings, f.message, f.host);
  for (const HANDLE h : held) ::CloseHandle(h);
  EXPECT_EQ(r.status, ConvertStatus::SyncFailed);
  ASSERT_EQ(r.unconfirmed.size(), 2u);
  EXPECT_EQ(r.unconfirmed[1].path, f.out / "E1__0002.VMG");
  const std::string said = f.host.messages.at(0).second,
                    inUse = ": " + reasonText({platform::ErrorKind::InUse, 0});
  EXPECT_TRUE(contains(said, texts::kAllWritten) && !contains(said, texts::kRestNotConverted)) << said;
  EXPECT_TRUE(contains(said, "E1__0000.VMG" + inUse) && contains(said, "E1__0002.VMG" + inUse)) << said;
  EXPECT_FALSE(contains(said, "E1__0001.VMG:")) << said;
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
