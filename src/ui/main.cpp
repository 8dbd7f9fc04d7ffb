// Starts Orvella: the one window, in Japanese, with Qt's own dialogs.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "core/version.hpp"
#include "ui/frm_main.hpp"
#include "ui/qt_dialogs.hpp"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvella"));
  QApplication::setApplicationVersion(QString::fromUtf8(orvella::kVersion.data(), qsizetype(orvella::kVersion.size())));

  // The file and folder dialogs and the OK buttons speak Japanese like the window.
  QTranslator qtTexts;
  if (qtTexts.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }

  orvella::ui::QtDialogs dialogs;
  orvella::ui::frmMain window(dialogs);
  window.centreOnScreen();
  window.show();
  return QApplication::exec();
}
