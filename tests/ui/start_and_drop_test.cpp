// orvella without a screen, "orvella FILE", and files dropped on the window.
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include <csignal>

#include "core/version.hpp"
#include "support/child_process.hpp"
#include "ui/qt/startup.hpp"
#include "window/command_line.hpp"
#include "window/window_texts.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

namespace fs = std::filesystem;
using window::BoxIcon;

// ---- No screen

struct ScreenRow {
  const char* what;
  std::vector<std::string> environment;  // besides HOME and XDG_RUNTIME_DIR
  std::vector<std::string> arguments;
  const char* qtSays;  // a piece of Qt's own lines, or nullptr when Qt never starts
};

TEST(StartWithoutScreen, ExitsWithOneAndPointsToTheCommandLine) {
  TempDir scratch;
  ::chmod(scratch.path().c_str(), 0700);  // Qt insists on a private runtime folder
  const std::string home = "HOME=" + scratch.path().string();
  const std::string runtime = "XDG_RUNTIME_DIR=" + scratch.path().string();
  const ScreenRow rows[] = {
      {"no display named", {}, {}, nullptr},
      {"an X display nobody serves", {"DISPLAY=:12345"}, {}, "platform plugin"},
      {"a Wayland display nobody serves", {"WAYLAND_DISPLAY=orvella-test-none"}, {}, "platform plugin"},
      // -platform is the user's choice: Qt is asked, and its refusal gets the same words.
      {"a platform Qt lacks", {}, {"-platform", "orvella-test-none"}, "platform plugin"},
  };
  for (const ScreenRow& row : rows) {
    SCOPED_TRACE(row.what);
    std::vector<std::string> environment = row.environment;
    environment.push_back(home);
    environment.push_back(runtime);
    const Outcome o = runWithEnvironment(builtProgram("orvella"), row.arguments, environment, scratch.path());
    EXPECT_EQ(o.code, 1) << o.err;
    EXPECT_TRUE(contains(o.err, window::texts::kNoDisplay)) << o.err;
    EXPECT_TRUE(contains(o.err, "orvella-convert -o out/ --to friend@example.jp novel.txt"));
    EXPECT_TRUE(contains(o.err, "needs a desktop"));
    EXPECT_FALSE(contains(o.err, "Reinstalling")) << o.err;
    if (row.qtSays) {
      EXPECT_TRUE(contains(o.err, row.qtSays)) << o.err;
      EXPECT_LT(o.err.find(row.qtSays), o.err.find(window::texts::kNoDisplay));
    } else {
      EXPECT_EQ(o.err, std::string(window::texts::kNoDisplay));
    }
    EXPECT_TRUE(o.out.empty());
  }
}

// ---- Stop requests from outside

// The window stops as the command line does: a termination signal, a hang-up or Ctrl-C in its
// terminal close it, never kill it outright.
TEST(StopSignals, CloseTheWindowInsteadOfKillingIt) {
  const QString program = QString::fromLocal8Bit(qgetenv("ORVELLA_BIN_DIR")) + QStringLiteral("/orvella");
  TempDir home;
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(signal);
    QProcess window;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), qpath(home.path()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    window.setProcessEnvironment(environment);
    window.start(program, {});
    ASSERT_TRUE(window.waitForStarted(10000));
    QTest::qWait(1500);  // the window is up
    ::kill(pid_t(window.processId()), signal);
    ASSERT_TRUE(window.waitForFinished(10000));
    EXPECT_EQ(window.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(window.exitCode(), 0);
  }
}

// ---- orvella --help, --version, an option it does not have

TEST(StartOptions, HelpAndVersionNeedNoScreenAndOtherOptionsAreRefused) {
  TempDir scratch;
  ::chmod(scratch.path().c_str(), 0700);  // Qt insists on a private runtime folder
  const std::string home = "HOME=" + scratch.path().string();
  const std::string runtime = "XDG_RUNTIME_DIR=" + scratch.path().string();
  const std::string offscreen = "QT_QPA_PLATFORM=offscreen";
  const std::string usage = window::usageText(true);
  const std::string version = "orvella " + std::string(kVersion) + "\n";
  const std::string refused = window::refusalText("--bogus", true);
  const struct {
    std::vector<std::string> arguments;
    std::vector<std::string> environment;  // besides HOME and XDG_RUNTIME_DIR
    int code;
    std::string out, err;
  } rows[] = {
      {{"--help"}, {}, 0, usage, ""},
      {{"-h", "novel.txt"}, {}, 0, usage, ""},
      {{"--version"}, {}, 0, version, ""},
      {{"--version", "--help"}, {}, 0, usage, ""},
      {{"--bogus"}, {offscreen}, 2, "", refused},
      {{"-style", "Fusion", "novel.txt", "--bogus"}, {offscreen}, 2, "", refused},
  };
  for (const auto& row : rows) {
    std::vector<std::string> environment = row.environment;
    environment.push_back(home);
    environment.push_back(runtime);
    SCOPED_TRACE(row.arguments.front());
    const Outcome o = runWithEnvironment(builtProgram("orvella"), row.arguments, environment, scratch.path());
    EXPECT_EQ(o.code, row.code) << o.err;
    EXPECT_EQ(o.out, row.out);
    EXPECT_EQ(o.err, row.err);
  }
}

// ---- orvella FILE

TEST(FileArguments, AreTheArgumentsMadeAbsoluteInOrderAndNoOptionIsTakenForOne) {
  const QString here = QDir::currentPath();
  const struct {
    QStringList arguments;  // as Qt leaves them, its own options taken
    QStringList files;
    QString unknownOption;
  } rows[] = {
      {{"orvella"}, {}, ""},
      {{"orvella", ""}, {}, ""},
      {{"orvella", "--"}, {}, ""},
      {{"orvella", "/data/novel.txt"}, {"/data/novel.txt"}, ""},
      {{"orvella", "novel.txt"}, {here + "/novel.txt"}, ""},
      {{"orvella", "sub/下.txt", "上.txt"}, {here + "/sub/下.txt", here + "/上.txt"}, ""},
      {{"orvella", "--", "-dash.txt", "--"}, {here + "/-dash.txt", here + "/--"}, ""},
      {{"orvella", "-"}, {here + "/-"}, ""},
      {{"orvella", "novel.txt", "-x"}, {here + "/novel.txt", here + "/-x"}, "-x"},
      {{"orvella", "--help-all", "--", "-y"}, {here + "/--help-all", here + "/-y"}, "--help-all"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments.join(u' ').toStdString());
    EXPECT_EQ(ui::fileArguments(row.arguments), row.files);  // '/' is native here
    EXPECT_EQ(ui::unknownOption(row.arguments), row.unknownOption);
  }
}

// What a file choice shows; equal snapshots mean the same choice.
struct Choice {
  QString fileName, subject, subjectBytes, info;
  bool convertEnabled;
  double barMaximum;
  std::vector<std::pair<BoxIcon, QString>> boxes;
  bool operator==(const Choice&) const = default;
};

class ChoiceTest : public QtWindowTest {
 protected:
  Choice snapshot(const ScriptedDialogs& d, ui::MainWindow& w) const {
    Choice c{w.findChild<QLineEdit*>("txtFileName")->text(),
             w.findChild<QLineEdit*>("txtSubject")->text(),
             w.findChild<QLabel*>("labSubject")->text(),
             w.findChild<QLabel*>("labFileInfo")->text(),
             w.findChild<QWidget*>("comConvert")->isEnabled(),
             w.form().bar().maximum(),
             {}};
    for (const auto& b : d.boxes) c.boxes.emplace_back(b.icon, qs(b.text));
    return c;
  }

  // The same names through "..." in a second window, for comparison.
  Choice throughTheDialog(const std::vector<std::u16string>& names, bool check1) {
    ScriptedDialogs otherDialogs;
    ui::MainWindow other(otherDialogs);
    other.findChild<QCheckBox*>("Check1")->setChecked(check1);
    otherDialogs.files.push_back(names);
    other.findChild<QPushButton*>("Command2")->click();
    return snapshot(otherDialogs, other);
  }
};

TEST_F(ChoiceTest, AFileNamedOnTheCommandLineIsChosenAsThroughTheDialog) {
  const auto novel = writeInput("novel.part1.txt", std::string(25000, 'a'));
  fs::create_directories(dir / "folder.txt");
  const struct {
    const char* what;
    fs::path file;
    bool check1;
  } rows[] = {
      {"a file, Subject from its name", novel, true},
      {"a file, Subject kept", novel, false},
      {"an empty file", writeInput("empty.txt", ""), true},
      {"a file that is not there", dir / "gone.txt", true},
      {"a folder", dir / "folder.txt", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SetUp();
    dialogs.boxes.clear();
    check("Check1")->setChecked(row.check1);
    window->form().chooseFiles({ui::fileArguments({"orvella", qpath(row.file)}).value(0).toStdU16String()});
    EXPECT_EQ(snapshot(dialogs, *window), throughTheDialog({row.file.u16string()}, row.check1));
  }
  // A refusal leaves the window as it opened, with one warning.
  SetUp();
  dialogs.boxes.clear();
  window->form().chooseFiles({(dir / "gone.txt").u16string()});
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Warning);
  EXPECT_TRUE(edit("txtFileName")->text().isEmpty());
  EXPECT_FALSE(get("comConvert")->isEnabled());
}

// ---- Drops

class DropTest : public ChoiceTest {
 protected:
  struct Result {
    bool enterAccepted;
    bool dropAccepted;
    Qt::DropAction action;
  };

  // A drag entering the window's middle, then the drop, as the platform would deliver them.
  Result dropOn(QWidget* target, const QList<QUrl>& urls,
                Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction, const QString& text = {}) {
    QMimeData data;
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isNull()) data.setText(text);
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(middle), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return {enter.isAccepted(), drop.isAccepted(), drop.dropAction()};
  }

  static QUrl url(const fs::path& p) { return QUrl::fromLocalFile(qpath(p)); }
};

// Files are chosen as through "..." in their order, by a copy (a link when only that is offered),
// never a move, wherever they fall on the window; a folder, no local file, plain text or a move
// alone are refused without a change, and the cursor shows the refusal.
TEST_F(DropTest, DropsAreChosenAsThroughTheDialogInTheirOrderOrRefusedWithoutAChange) {
  const auto novel = writeInput("novel.txt", std::string(12000, 'a'));
  const auto sequel = writeInput("sequel.txt", "b");
  fs::create_directories(dir / "folder");
  const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
  const struct {
    const char* what;
    QList<QUrl> urls;
    Qt::DropActions actions;
    QString text;
    std::vector<fs::path> chosen;  // none: refused
    Qt::DropAction action;
  } rows[] = {
      {"two files", {url(sequel), url(novel)}, copyOrMove, {}, {sequel, novel}, Qt::CopyAction},
      {"one file", {url(novel)}, copyOrMove, {}, {novel}, Qt::CopyAction},
      {"a link only", {url(sequel)}, Qt::LinkAction, {}, {sequel}, Qt::LinkAction},
      {"a folder", {url(dir / "folder")}, Qt::CopyAction, {}, {}, {}},
      {"a folder among files", {url(novel), url(dir / "folder"), url(sequel)}, Qt::CopyAction, {}, {}, {}},
      {"a web address", {QUrl("https://example.jp/novel.txt")}, Qt::CopyAction, {}, {}, {}},
      {"text only", {}, Qt::CopyAction, qpath(novel), {}, {}},
      {"a move only", {url(novel)}, Qt::MoveAction, {}, {}, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const Choice before = snapshot(dialogs, *window);
    const Result r = dropOn(window.get(), row.urls, row.actions, row.text);
    const bool taken = !row.chosen.empty();
    EXPECT_EQ(r.enterAccepted, taken);
    EXPECT_EQ(r.dropAccepted, taken);
    if (!taken) {
      EXPECT_EQ(snapshot(dialogs, *window), before);
      continue;
    }
    EXPECT_EQ(r.action, row.action);
    std::vector<std::u16string> names;
    for (const fs::path& file : row.chosen) names.push_back(file.u16string());
    EXPECT_EQ(snapshot(dialogs, *window), throughTheDialog(names, true));
  }
  // A field would take the path as text.
  EXPECT_TRUE(window->acceptDrops());
  for (QWidget* child : window->findChildren<QWidget*>()) EXPECT_FALSE(child->acceptDrops());
}

}  // namespace
}  // namespace orvella::testing
