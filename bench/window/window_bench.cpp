// orvella-window-bench INPUT [--max-bytes N] [--runs N] [--workdir DIR]
//
// Converts INPUT through the window (the Qt face shown on the offscreen platform, dialogs answered by
// the program, the clock fixed) and through orvella-convert from the same folder as this program,
// each --runs times (default 3), alternating, into scratch folders under DIR (default: the system's
// temporary folder; /dev/shm keeps the disk out of the figures). Prints the best and median wall
// and CPU times (user + system) of each and the window's as a multiple of the command line's.
// Both must write the same files. Wall time on a busy machine swings with the file system; the
// CPU time is the steadier measure of what the window adds.
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ui/qt/main_window.hpp"

namespace {

constexpr char kDate[] = "Wed, 11 Feb 2004 05:15:55 +0900";

// The moment kDate names, for the window's clock.
std::chrono::system_clock::time_point dateMoment() {
  using namespace std::chrono;
  return sys_days{year{2004} / February / 10} + hours{20} + minutes{15} + seconds{55};
}

class BenchDialogs final : public orvella::window::Dialogs {
 public:
  QString file;
  QString folder;
  std::vector<QString> said;
  std::vector<std::u16string> openFileNames(orvella::window::DialogOwner,
                                            std::span<const orvella::window::FileFilter>) override {
    return {file.toStdU16String()};
  }
  std::u16string selectFolder(orvella::window::DialogOwner, std::u16string_view) override {
    return folder.toStdU16String();
  }
  void message(orvella::window::DialogOwner, orvella::window::BoxIcon, std::u16string_view text) override {
    said.push_back(QString::fromUtf16(text.data(), qsizetype(text.size())));
  }
  // Every option off: the run measured is the plain one.
  bool options(orvella::window::DialogOwner, orvella::window::ReadingChoices&) override { return false; }
};

double cpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Times {
  std::vector<double> wall, cpu;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::string readAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool sameFiles(const QString& a, const QString& b, int* count) {
  const QStringList names = QDir(a).entryList(QDir::Files, QDir::Name);
  if (names != QDir(b).entryList(QDir::Files, QDir::Name)) return false;
  for (const QString& name : names) {
    if (readAll((a + u'/' + name).toStdString()) != readAll((b + u'/' + name).toStdString())) return false;
  }
  *count = int(names.size());
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  QString input;
  QString maxBytes = QStringLiteral("10000");
  int runs = 3;
  QString workdir;
  const QStringList args = QCoreApplication::arguments().mid(1);
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == u"--max-bytes" && i + 1 < args.size()) {
      maxBytes = args[++i];
    } else if (args[i] == u"--workdir" && i + 1 < args.size()) {
      workdir = args[++i];
    } else if (args[i] == u"--runs" && i + 1 < args.size()) {
      runs = std::max(1, args[++i].toInt());
    } else {
      input = args[i];
    }
  }
  if (input.isEmpty() || !QFileInfo(input).isFile()) {
    std::fprintf(stderr, "usage: orvella-window-bench INPUT [--max-bytes N] [--runs N] [--workdir DIR]\n");
    return 2;
  }
  const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/orvella-convert");

  QTemporaryDir scratch(workdir.isEmpty() ? QDir::tempPath() + QStringLiteral("/orvella-bench-XXXXXX")
                                          : workdir + QStringLiteral("/orvella-bench-XXXXXX"));
  if (!scratch.isValid()) {
    std::fprintf(stderr, "cannot make a scratch folder\n");
    return 2;
  }
  Times windowTimes, cliTimes;
  QString lastWindowOut, lastCliOut;
  for (int run = 0; run < runs; ++run) {
    BenchDialogs dialogs;
    dialogs.file = QFileInfo(input).absoluteFilePath();
    dialogs.folder = scratch.filePath(QStringLiteral("window%1").arg(run));
    QDir().mkpath(dialogs.folder);
    {
      orvella::ui::MainWindow window(dialogs);
      window.form().setDateSource(&dateMoment);
      window.show();
      QCoreApplication::processEvents();
      window.findChild<QLineEdit*>(QStringLiteral("txtMaxLength"))->setText(maxBytes);
      window.findChild<QLineEdit*>(QStringLiteral("txtSubject"))->setText(QStringLiteral("bench"));
      window.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(false);
      window.form().Command2_Click();

      const double cpu = cpuSeconds(RUSAGE_SELF);
      QElapsedTimer clock;
      clock.start();
      window.form().comConvert_Click();
      windowTimes.wall.push_back(double(clock.nsecsElapsed()) / 1e9);
      windowTimes.cpu.push_back(cpuSeconds(RUSAGE_SELF) - cpu);
    }
    if (dialogs.said.empty() || dialogs.said.back() != QString::fromUtf8("ファイルの変換が完了しました！")) {
      std::fprintf(stderr, "the window's run did not complete: %s\n",
                   dialogs.said.empty() ? "(no message)" : dialogs.said.back().toLocal8Bit().constData());
      return 1;
    }
    lastWindowOut = dialogs.folder;

    const QString out = scratch.filePath(QStringLiteral("cli%1").arg(run));
    QDir().mkpath(out);
    const double cpu = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    clock.start();
    const int code = QProcess::execute(
        cli, {QStringLiteral("-q"), QStringLiteral("-o"), out, QStringLiteral("--max-bytes"), maxBytes,
              QStringLiteral("--subject"), QStringLiteral("bench"), QStringLiteral("--date"),
              QString::fromLatin1(kDate), input});
    cliTimes.wall.push_back(double(clock.nsecsElapsed()) / 1e9);
    cliTimes.cpu.push_back(cpuSeconds(RUSAGE_CHILDREN) - cpu);
    if (code != 0) {
      std::fprintf(stderr, "%s failed (exit %d)\n", cli.toLocal8Bit().constData(), code);
      return 1;
    }
    lastCliOut = out;
    if (run + 1 < runs) {  // keep the disk use to one run of each
      QDir(dialogs.folder).removeRecursively();
      QDir(out).removeRecursively();
    }
  }

  int files = 0;
  if (!sameFiles(lastWindowOut, lastCliOut, &files)) {
    std::fprintf(stderr, "the window and orvella-convert wrote different files\n");
    return 1;
  }
  const double mb = double(QFileInfo(input).size()) / (1 << 20);
  std::printf("input %.1f MiB, limit %s, %d files, %d runs each\n", mb, maxBytes.toLatin1().constData(),
              files, runs);
  const auto line = [&](const char* name, const Times& t) {
    std::printf("%-16s wall best %.3f s  median %.3f s (%.1f MiB/s)   cpu best %.3f s  median %.3f s\n", name,
                *std::min_element(t.wall.begin(), t.wall.end()), median(t.wall), mb / median(t.wall),
                *std::min_element(t.cpu.begin(), t.cpu.end()), median(t.cpu));
  };
  line("window", windowTimes);
  line("orvella-convert", cliTimes);
  std::printf("window / orvella-convert (medians): wall %.2fx  cpu %.2fx\n",
              median(windowTimes.wall) / median(cliTimes.wall),
              median(windowTimes.cpu) / median(cliTimes.cpu));
  return 0;
}
