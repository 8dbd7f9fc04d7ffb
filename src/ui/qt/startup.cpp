#include "ui/qt/startup.hpp"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "window/command_line.hpp"
#include "window/window_texts.hpp"

namespace orvella::ui {

namespace {

QtMessageHandler qtHandler = nullptr;

void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg || !text.contains(QStringLiteral("platform plugin"))) {
    qtHandler(type, context, text);
    return;
  }
  // Qt's account of what failed stays; its advice to reinstall does not apply.
  QString account = text;
  account.remove(
      QRegularExpression(QStringLiteral("\\s*Reinstalling the application may fix this problem\\.")));
  std::fputs(account.trimmed().toLocal8Bit().constData(), stderr);
  std::fputs("\n\n", stderr);
  reportNoDisplay();
  std::fflush(stderr);
  // Mid-construction of the application object: nothing is left to tidy up.
  std::_Exit(1);
}

}  // namespace

bool displayNamed(int argc, const char* const* argv) {
#ifdef Q_OS_LINUX
  if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
      !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    return true;
  }
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg(argv[i]);
    if (arg == "-platform" || arg == "--platform") return true;
  }
  return false;
#else
  (void)argc;
  (void)argv;
  return true;
#endif
}

void reportNoDisplay() {
  std::fwrite(window::texts::kNoDisplay.data(), 1, window::texts::kNoDisplay.size(), stderr);
}

QtMessageHandler catchPlatformFailure() {
  qtHandler = qInstallMessageHandler(&onQtMessage);
  return qtHandler;
}

QString unknownOption(const QStringList& arguments) {
  std::vector<std::string> rest;
  for (qsizetype i = 1; i < arguments.size(); ++i) rest.push_back(arguments[i].toStdString());
  return QString::fromStdString(window::unknownOption(rest));
}

QStringList fileArguments(const QStringList& arguments) {
  QStringList files;
  bool ended = false;  // options, by the first "--"
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (!ended && arguments[i] == QStringLiteral("--")) {
      ended = true;
    } else if (!arguments[i].isEmpty()) {
      files << QDir::toNativeSeparators(QFileInfo(arguments[i]).absoluteFilePath());
    }
  }
  return files;
}

}  // namespace orvella::ui
