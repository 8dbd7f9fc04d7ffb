// Writes failing the ways a user meets them: the folder gone, a read-only or folder-shaped target,
// a full disk, a name or path the system refuses. Each time: one report with the reason, false,
// no temporary left, an older file of that name intact, and a conversion stops right there.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/converter.hpp"
#include "convert/texts.hpp"
#include "recording_host.hpp"
#include "support/fault_injection.hpp"
#include "support/fuse_card.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::bodyLines;
using testing::inChildWithFileLimit;
using testing::readFile;
using testing::RecordingHost;
using testing::TempDir;
using testing::temporariesUnder;
using testing::TooDeepFolder;
using testing::writeFile;

constexpr rlim_t kFileLimit = 4096;  // the "disk" takes no file past this
const std::string kOlder = "older record, kept";

void makeReadOnly(const fs::path& p) {
  fs::permissions(p, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

// A folder nobody may create files in, root included; empty when the system has none.
fs::path folderRefusingFiles() {
  for (const char* candidate : {"/proc/self", "/sys"}) {
    const fs::path probe = fs::path(candidate) / ".orvella-probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return candidate;
    ::close(fd);
    ::unlink(probe.c_str());
  }
  return {};
}

// ---- Faults in the middle of a conversion ----

// Three records of one line each at limit 200; the middle line is too big for the full disk.
const std::vector<std::string> kLines = {std::string(50, 'a'), std::string(10000, 'b'), std::string(50, 'c')};

struct Scenario : testing::ConversionFolder {
  Scenario() : ConversionFolder(u"fault") {
    settings.limit = 200;
    std::string input;
    for (const auto& l : kLines) input += l + "\r\n";
    writeFile(settings.input, input);
  }
};

struct ConvertFault {
  const char* name;
  std::function<void(Scenario&)> before;     // makes the fault before the run, or null
  std::function<void(Scenario&)> duringRun;  // makes it once file 0 has been written, or null
  int failing;                               // the number of the first file that cannot be written
  std::vector<fs::path> olderKept{};         // where kOlder must still be, under the test's folder
  rlim_t fileLimit = 0;
  friend void PrintTo(const ConvertFault& f, std::ostream* os) { *os << f.name; }
};

class ConvertWithWriteFaults : public ::testing::TestWithParam<ConvertFault> {};

TEST_P(ConvertWithWriteFaults, TheRunStopsAtTheFirstFailureSoTheSeriesHasNoHole) {
  const ConvertFault& c = GetParam();
  Scenario run;
  RecordingHost& host = run.host;
  if (c.before) c.before(run);
  if (host.folder.empty()) GTEST_SKIP() << "this system offers no way to make that fault";
  bool folderThere = true;  // after the fault: the run must not make the folder again
  if (c.duringRun) {
    host.onStep = [&](int next) {
      if (next != 1) return;
      c.duringRun(run);
      folderThere = fs::exists(run.out);
    };
  }

  auto convert = [&] {
    const ConvertResult r = Convert(run.settings, run.message, host);
    const fs::path failed = host.folder / fileNameFor(c.failing);

    EXPECT_EQ(r.status, ConvertStatus::WriteFailures);
    EXPECT_EQ(r.failedFiles, std::vector<fs::path>{failed});
    ASSERT_EQ(host.failures.size(), 1u);
    EXPECT_EQ(host.failures[0].first, failed);
    EXPECT_EQ(host.failures[0].second.rfind(texts::kWriteError, 0), 0u) << host.failures[0].second;
    // Numbers move on only past records written; the failed one is where a new run begins.
    std::vector<int> steps;
    for (int n = 1; n <= c.failing; ++n) steps.push_back(n);
    EXPECT_EQ(host.steps, steps);
    EXPECT_EQ(r.nextNumber, c.failing);
    EXPECT_EQ(r.filesWritten, c.failing);
    for (int n = 0; n < 3; ++n) {
      const fs::path file = host.folder / fileNameFor(n);
      if (n < c.failing && fs::is_directory(host.folder)) {
        EXPECT_EQ(bodyLines(readFile(file)), std::vector<std::string>{kLines[static_cast<std::size_t>(n)]})
            << file;
      }
      if (n > c.failing) {
        EXPECT_FALSE(fs::exists(file)) << file;
      }
    }
    for (const auto& where : c.olderKept) EXPECT_EQ(readFile(run.dir.path() / where), kOlder) << where;
    EXPECT_EQ(temporariesUnder(run.dir.path()), std::vector<std::string>{});
    EXPECT_EQ(fs::exists(run.out), folderThere);

    // One closing message: not success, naming the file, the reason and where the run stopped.
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, MessageKind::Error);
    const std::string& text = host.messages[0].second;
    EXPECT_EQ(text.find(texts::kCompleted), std::string::npos) << text;
    EXPECT_NE(text.find(host.failures[0].second), std::string::npos) << text;
    EXPECT_NE(text.find(texts::kRestNotConverted), std::string::npos) << text;
  };
  if (c.fileLimit != 0) {
    inChildWithFileLimit(c.fileLimit, convert);
  } else {
    convert();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertWithWriteFaults,
    ::testing::Values(
        ConvertFault{"ReadOnlyOlderFile",
                     [](Scenario& r) {
                       writeFile(r.out / "E1__0001.VMG", kOlder);
                       makeReadOnly(r.out / "E1__0001.VMG");
                     },
                     nullptr,
                     1,
                     {"out/E1__0001.VMG"}},
        ConvertFault{"FolderInTheWay", [](Scenario& r) { fs::create_directory(r.out / "E1__0001.VMG"); },
                     nullptr, 1},
        ConvertFault{"DiskFullForTheBigRecord",
                     [](Scenario& r) { writeFile(r.out / "E1__0001.VMG", kOlder); },
                     nullptr,
                     1,
                     {"out/E1__0001.VMG"},
                     kFileLimit},
        ConvertFault{"FolderDeletedDuringTheRun", nullptr, [](Scenario& r) { fs::remove_all(r.out); }, 1},
        ConvertFault{"FolderReplacedByAFileDuringTheRun",
                     nullptr,
                     [](Scenario& r) {
                       fs::remove_all(r.out);
                       writeFile(r.out, kOlder);
                     },
                     1,
                     {"out"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A folder missing, too deep for a path to a file in it, or refusing new files: nothing written,
// one message, and the folder not made. Refused before reading where the system says so at once
// (for the refusing one, not to root: there it is the first record that fails).
TEST(ConvertWithWriteFaults, AFolderThatCannotTakeRecordsWritesNothing) {
  for (const std::string_view kind : {"missing", "too deep", "refusing files"}) {
    SCOPED_TRACE(kind);
    Scenario run;
    std::optional<TooDeepFolder> deep;
    if (kind == "missing") fs::remove(run.out);
    if (kind == "too deep") {
      ASSERT_TRUE(deep.emplace(run.dir.path()).made());
      run.host.folder = deep->path();
    }
    if (kind == "refusing files") run.host.folder = folderRefusingFiles();
    if (run.host.folder.empty()) continue;  // this system offers no way to make that fault
    std::error_code ec;                     // a path too long even to look at
    const bool there = fs::exists(run.host.folder, ec);
    const ConvertResult r = Convert(run.settings, run.message, run.host);
    EXPECT_TRUE(r.status == ConvertStatus::FolderNotWritable ||
                (kind == "refusing files" && r.status == ConvertStatus::WriteFailures));
    EXPECT_EQ(r.filesWritten, 0);
    EXPECT_TRUE(run.host.steps.empty());
    ASSERT_EQ(run.host.messages.size(), 1u);
    if (r.status == ConvertStatus::FolderNotWritable) {
      EXPECT_EQ(run.host.progress, 0);
      EXPECT_TRUE(run.host.failures.empty());
      EXPECT_NE(run.host.messages[0].second.find(texts::kFolderNotWritable), std::string::npos);
    }
    EXPECT_EQ(fs::exists(run.host.folder, ec), there);
  }
}

// The run writes through the folder it holds: renamed, replaced or re-pointed mid-run, the whole
// series lands in that one folder, and a folder put in its place is another run's to take.
TEST(ConvertWhileTheFolderMoves, TheSeriesStaysInTheFolderTheRunHolds) {
  struct Row {
    const char* given;  // the path the run is given
    std::function<void(Scenario&)> duringRun;
    const char* held;   // where the whole series must be
    const char* other;  // the folder now at the given path, left alone and free for another run
  };
  const Row rows[] = {{"out", [](Scenario& r) { fs::rename(r.out, r.dir / "moved"); }, "moved", nullptr},
                      {"out",
                       [](Scenario& r) {
                         fs::rename(r.out, r.dir / "moved");
                         fs::create_directory(r.out);
                       },
                       "moved", "out"},
                      {"link",
                       [](Scenario& r) {
                         fs::remove(r.dir / "link");
                         fs::create_directory_symlink(r.dir / "b", r.dir / "link");
                       },
                       "out", "b"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.held) + (row.other ? row.other : ""));
    Scenario run;
    fs::create_directory(run.dir / "b");
    fs::create_directory_symlink(run.out, run.dir / "link");
    run.host.folder = run.dir / row.given;
    std::vector<platform::FolderLock::State> probes;
    run.host.onStep = [&](int next) {
      if (next != 1) return;
      row.duringRun(run);
      for (const char* folder : {row.held, row.other}) {
        platform::FolderLock second;
        if (folder) probes.push_back(second.acquire(run.dir / folder));
      }
    };
    ASSERT_EQ(Convert(run.settings, run.message, run.host).status, ConvertStatus::Completed);
    EXPECT_EQ(probes.front(), platform::FolderLock::State::Busy);
    EXPECT_EQ(std::distance(fs::directory_iterator(run.dir / row.held), {}), 3);
    for (int n = 0; n < 3; ++n) {
      EXPECT_EQ(bodyLines(readFile(run.dir / row.held / fileNameFor(n))),
                std::vector{kLines[std::size_t(n)]});
    }
    if (row.other) {
      EXPECT_TRUE(probes.back() == platform::FolderLock::State::Held && fs::is_empty(run.dir / row.other));
    }
  }
}

// A flush of the whole filesystem never reaches a FUSE driver: there each record is flushed on its
// own, and the series is the same as anywhere.
TEST(ConvertDurability, OnAFuseCardEachRecordIsFlushedOnItsOwn) {
  Scenario run;
  testing::FuseCard card(run.dir.path());
  if (!card.ready()) GTEST_SKIP() << "no FUSE card here: " << card.why();
  for (const auto& [folder, each] : {std::pair{run.out, false}, std::pair{card.path(), true}}) {
    platform::FolderLock lock;
    ASSERT_EQ(lock.acquire(folder), platform::FolderLock::State::Held);
    EXPECT_EQ(lock.flushesEachRecord(), each) << folder;
  }
  run.host.folder = card.path();
  ASSERT_EQ(Convert(run.settings, run.message, run.host).status, ConvertStatus::Completed);
  EXPECT_EQ(bodyLines(readFile(card.path() / fileNameFor(2))), std::vector{kLines[2]});
}

}  // namespace
}  // namespace orvella
