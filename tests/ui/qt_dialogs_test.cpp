// Qt's own dialogs, as the application uses them: each starts afresh, and nothing is written
// for the next run.
#include "ui/qt/qt_dialogs.hpp"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <vector>

#include "support/temp_dir.hpp"

namespace orvella::testing {
namespace {

namespace fs = std::filesystem;

QString qpath(const fs::path& p) { return QString::fromStdString(p.string()); }
QString qs(const std::u16string& text) { return QString::fromStdU16String(text); }
std::u16string native(const fs::path& p) { return QDir::toNativeSeparators(qpath(p)).toStdU16String(); }

const window::FileFilter kAll[] = {{u"all (*)", u"*"}};

QFileDialog* openDialog() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) return dialog;
  }
  return nullptr;
}

// QFileDialog hides accept(); through QDialog the dialog's own accept still runs.
void accept(QFileDialog& dialog) { static_cast<QDialog&>(dialog).accept(); }

struct Seen {
  QString directory;
  QStringList history;
  QString typed;
  bool canGoBack = false;
};

// Answers the next dialog once it is open: records how it opened, then acts on it.
void answerNextDialog(std::vector<Seen>& seen, std::function<void(QFileDialog&)> act) {
  QTimer::singleShot(0, [&seen, act] {
    QFileDialog* dialog = openDialog();
    if (!dialog) {
      ADD_FAILURE() << "no file dialog open";
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
      return;
    }
    const auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const auto* back = dialog->findChild<QToolButton*>(QStringLiteral("backButton"));
    seen.push_back({dialog->directory().absolutePath(), dialog->history(), name ? name->text() : QString(),
                    back && back->isEnabled()});
    act(*dialog);
  });
}

TEST(QtDialogs, EachFolderDialogStartsAfreshNotInTheFolderChosenLastTime) {
  TempDir dir;
  const fs::path out = dir / "out";
  fs::create_directories(out);
  ui::QtDialogs dialogs;
  std::vector<Seen> seen;

  answerNextDialog(seen, [&](QFileDialog& d) {
    d.setDirectory(qpath(out));
    accept(d);
  });
  EXPECT_EQ(qs(dialogs.selectFolder({}, u"t")), QDir::toNativeSeparators(qpath(out)));
  answerNextDialog(seen, [](QFileDialog& d) { d.reject(); });
  EXPECT_EQ(qs(dialogs.selectFolder({}, u"t")), QString());

  ASSERT_EQ(seen.size(), 2u);
  for (const Seen& s : seen) {
    EXPECT_EQ(s.directory, QDir::homePath());
    EXPECT_TRUE(s.typed.isEmpty()) << s.typed.toStdString();
    EXPECT_FALSE(s.history.contains(QDir::toNativeSeparators(qpath(out))))
        << s.history.join(u' ').toStdString();
  }
}

// Several files may be chosen, and come in the order they were named.
TEST(QtDialogs, TheFileDialogStartsWhereTheProgramStartedEachTime) {
  TempDir dir;
  const fs::path file = dir / "a.txt";
  const fs::path other = dir / "b.txt";
  for (const fs::path& f : {file, other}) writeFile(f, "abc");
  ui::QtDialogs dialogs;
  std::vector<Seen> seen;
  answerNextDialog(seen, [&](QFileDialog& d) {
    d.setDirectory(qpath(dir.path()));
    d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("\"b.txt\" \"a.txt\""));
    accept(d);
  });
  EXPECT_EQ(dialogs.openFileNames({}, kAll), (std::vector{native(other), native(file)}));
  answerNextDialog(seen, [](QFileDialog& d) { d.reject(); });
  EXPECT_TRUE(dialogs.openFileNames({}, kAll).empty());
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].directory, QDir::currentPath());
  EXPECT_FALSE(seen[1].history.contains(QDir::toNativeSeparators(qpath(dir.path()))));
}

// The options dialog shows the choices it is given in the controls named after them: OK (Enter)
// takes what the user left (here optAozoraBracket and chkWrap clicked), Esc keeps them.
TEST(QtDialogs, TheOptionsDialogMapsItsControlsToTheChoices) {
  using window::ReadingChoices;
  const ReadingChoices some{AozoraMode::Strip, false, true, true};
  const struct {
    ReadingChoices start;
    bool click;
    Qt::Key key;
    ReadingChoices after;
  } rows[] = {{some, false, Qt::Key_Return, some},
              {{}, true, Qt::Key_Return, {AozoraMode::Bracket, true, false, false}},
              {some, true, Qt::Key_Escape, some}};
  for (const auto& row : rows) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog || dialog->objectName() != QStringLiteral("options"))
        return ADD_FAILURE() << "no options dialog";
      for (const char* name : {"optAozoraBracket", "chkWrap"}) {
        if (row.click) dialog->findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
      }
      QTest::keyClick(dialog, row.key);
    });
    ReadingChoices choices = row.start;
    EXPECT_EQ(ui::QtDialogs().options({}, choices), row.key == Qt::Key_Return);
    EXPECT_EQ(choices, row.after);
  }
}

// The child side of the test below: runs only when the parent asks, in a home of its own. A
// file dialog, the folder dialog, the file dialog again, as the window uses them.
TEST(QtDialogsChild, UsesTheDialogs) {
  const QByteArray mode = qgetenv("ORVELLA_DIALOGS_CHILD");
  if (mode.isEmpty()) GTEST_SKIP() << "run by QtDialogs.NothingIsWrittenForTheNextRun";
  if (mode == "plain") {
    QFileDialog plain;  // Qt's dialog as it comes, to show the parent can see what it keeps
    plain.setDirectory(QDir::homePath());
    return;
  }
  TempDir dir;
  for (const char* name : {"a.txt", "UPPER.TXT", "Mixed.Txt", "notes.md"}) writeFile(dir / name, "x");
  ASSERT_TRUE(QDir::setCurrent(qpath(dir.path())));
  ui::QtDialogs dialogs;
  std::vector<Seen> seen;
  QStringList shown;
  answerNextDialog(seen, [&](QFileDialog& d) {
    auto* model = d.findChild<QFileSystemModel*>();
    auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!model || !name) return d.reject();  // a platform's dialog: the checks below fail
    const auto names = [&] {
      const QModelIndex root = model->index(d.directory().absolutePath());
      QStringList found;
      for (int i = 0; i < model->rowCount(root); ++i) found << model->fileName(model->index(i, 0, root));
      found.sort();
      return found;
    };
    // The folder is read in one batch by a thread of the model's.
    (void)QTest::qWaitFor([&] { return names().contains(QStringLiteral("a.txt")); }, 10000);
    shown = names();
    name->setText(QStringLiteral("UPPER.TXT"));
    accept(d);
  });
  const window::FileFilter text[] = {{u"テキスト(*.txt)", u"*.txt"}};
  EXPECT_EQ(dialogs.openFileNames({}, text), std::vector{native(dir / "UPPER.TXT")});
  EXPECT_EQ(shown, QStringList({"Mixed.Txt", "UPPER.TXT", "a.txt"}));
  answerNextDialog(seen, [](QFileDialog& d) { accept(d); });
  EXPECT_EQ(qs(dialogs.selectFolder({}, u"t")), QDir::toNativeSeparators(QDir::homePath()));
  answerNextDialog(seen, [](QFileDialog& d) { d.reject(); });
  (void)dialogs.openFileNames({}, kAll);
  ASSERT_EQ(seen.size(), 3u);
  for (const Seen& s : seen) EXPECT_FALSE(s.canGoBack) << s.directory.toStdString();
}

std::vector<fs::path> filesUnder(const fs::path& folder) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_directory()) found.push_back(entry.path());
  }
  return found;
}

// The child in each mode on each desktop at hand: headless, and under Xvfb with the GTK platform
// theme a desktop install brings (GTK's settings, kept by a dconf service on a desktop, go to a
// file in the home here, where the listing sees them).
std::vector<std::pair<QStringList, const char*>> childRuns() {
  std::vector<QStringList> desktops{{"env", "QT_QPA_PLATFORM=offscreen"}};
  const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
  if (!xvfbRun.isEmpty() && QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                                              QStringLiteral("/platformthemes/libqgtk3.so"))) {
    desktops.push_back({xvfbRun, "-a", "env", "QT_QPA_PLATFORM=xcb", "QT_QPA_PLATFORMTHEME=gtk3",
                        "GSETTINGS_BACKEND=keyfile"});
  } else {
    std::cout << "note: no xvfb-run or Qt's GTK theme (Debian: xvfb xauth qt6-gtk-platformtheme)\n";
  }
  std::vector<std::pair<QStringList, const char*>> runs;
  for (const QStringList& desktop : desktops) {
    for (const char* mode : {"plain", "orvella"}) runs.emplace_back(desktop, mode);
  }
  return runs;
}

TEST(QtDialogs, NothingIsWrittenForTheNextRun) {
  for (const auto& [launcher, mode] : childRuns()) {
    SCOPED_TRACE(launcher.join(u' ').toStdString() + " " + mode);
    TempDir home;
    TempDir temp;
    TempDir runtime;
    fs::permissions(runtime.path(), fs::perms::owner_all);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), qpath(home.path()));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), qpath(home / ".config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), qpath(runtime.path()));
    env.insert(QStringLiteral("TMPDIR"), qpath(temp.path()));
    env.insert(QStringLiteral("ORVELLA_DIALOGS_CHILD"), QString::fromLatin1(mode));
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(launcher.front(), launcher.mid(1) << QCoreApplication::applicationFilePath()
                                                  << QStringLiteral("--gtest_filter=QtDialogsChild.*"));
    ASSERT_TRUE(child.waitForFinished(60000));
    ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();

    std::vector<fs::path> kept = filesUnder(home.path());
    if (std::string_view(mode) == "plain") {
      EXPECT_FALSE(kept.empty()) << "Qt's dialog left no settings: this test can no longer see them";
    } else {
      EXPECT_TRUE(kept.empty()) << kept.front();
      kept = filesUnder(temp.path());
      EXPECT_TRUE(kept.empty()) << kept.front();
    }
  }
}

}  // namespace
}  // namespace orvella::testing
