// Starts Orvella: the one window, in Japanese, with Qt's own dialogs.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <string>
#include <vector>

#include "core/version.hpp"
#include "platform/console.hpp"
#include "platform/signals.hpp"
#include "ui/qt/main_window.hpp"
#include "ui/qt/qt_dialogs.hpp"
#include "ui/qt/startup.hpp"
#include "window/command_line.hpp"

int main(int argc, char* argv[]) {
  // A termination signal, a hang-up or Ctrl-C closes the window as its close box does, a run
  // writing the record in hand whole; from the very start, so none kills the program outright.
  orvella::platform::installStopHandlers();
  constexpr bool kQtOptions = true;
  switch (orvella::window::requestOf(std::vector<std::string>(argv + 1, argv + argc))) {
    case orvella::window::Request::Help:
      orvella::platform::writeOutput(orvella::window::usageText(kQtOptions));
      return 0;
    case orvella::window::Request::Version:
      orvella::platform::writeOutput(orvella::window::versionText());
      return 0;
    case orvella::window::Request::Window:
      break;
  }
  if (!orvella::ui::displayNamed(argc, argv)) {
    orvella::ui::reportNoDisplay();
    return 1;
  }
  const QtMessageHandler qtHandler = orvella::ui::catchPlatformFailure();
  QApplication app(argc, argv);
  qInstallMessageHandler(qtHandler);
  // Qt has taken its own options; any other is refused, never opened as a file of that name.
  if (const QString option = orvella::ui::unknownOption(QApplication::arguments()); !option.isEmpty()) {
    orvella::platform::writeError(orvella::window::refusalText(option.toStdString(), kQtOptions));
    return 2;
  }
  QApplication::setApplicationName(QStringLiteral("Orvella"));
  QApplication::setApplicationVersion(
      QString::fromUtf8(orvella::kVersion.data(), qsizetype(orvella::kVersion.size())));
  // Wayland desktops take the window's icon and name from the menu entry of this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("orvella"));

  // The file and folder dialogs and the OK buttons speak Japanese like the window.
  QTranslator qtTexts;
  if (qtTexts.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }

  orvella::ui::QtDialogs dialogs;
  orvella::ui::MainWindow window(dialogs);
  window.form().setStopSource(&orvella::platform::stopRequested);
  window.centreOnScreen();
  window.show();
  // "orvella FILE..." (a menu's Open With): chosen once the window is up, so a warning has it
  // behind; several make one series, as dropped together.
  std::vector<std::u16string> files;
  for (const QString& file : orvella::ui::fileArguments(QApplication::arguments())) {
    files.push_back(file.toStdU16String());
  }
  window.form().chooseFiles(files);
  return QApplication::exec();
}
