// Starts Orvella: the one window, in Japanese, with Qt's own dialogs.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "core/version.hpp"
#include "platform/console.hpp"
#include "ui/frm_main.hpp"
#include "ui/qt_dialogs.hpp"
#include "ui/startup.hpp"
#include "ui/window_texts.hpp"

int main(int argc, char* argv[]) {
  switch (orvella::ui::requestOf(argc, argv)) {
    case orvella::ui::Request::Help:
      orvella::platform::writeOutput(orvella::ui::texts::kUsage);
      return 0;
    case orvella::ui::Request::Version:
      orvella::platform::writeOutput(orvella::ui::versionText());
      return 0;
    case orvella::ui::Request::Window:
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
    orvella::platform::writeError(orvella::ui::texts::kUnknownOption + option.toStdString() + "\n\n" +
                                  orvella::ui::texts::kUsage);
    return 2;
  }
  QApplication::setApplicationName(QStringLiteral("Orvella"));
  QApplication::setApplicationVersion(QString::fromUtf8(orvella::kVersion.data(), qsizetype(orvella::kVersion.size())));
  // Wayland desktops take the window's icon and name from the menu entry of this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("orvella"));

  // The file and folder dialogs and the OK buttons speak Japanese like the window.
  QTranslator qtTexts;
  if (qtTexts.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }

  orvella::ui::QtDialogs dialogs;
  orvella::ui::frmMain window(dialogs);
  window.centreOnScreen();
  window.show();
  // "orvella FILE" (a menu's Open With): chosen once the window is up, so a warning has it behind.
  const QString file = orvella::ui::fileArgument(QApplication::arguments());
  if (!file.isEmpty()) window.chooseFile(file);
  return QApplication::exec();
}
