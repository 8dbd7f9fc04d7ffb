#include "ui/qt/startup.hpp"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>

#include "core/version.hpp"
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

Request requestOf(int argc, const char* const* argv) {
  Request request = Request::Window;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    if (arg == "-h" || arg == "--help") return Request::Help;
    if (arg == "--version") request = Request::Version;
  }
  return request;
}

std::string versionText() { return std::string(window::texts::kProgram) + " " + std::string(kVersion) + "\n"; }

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
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (arg == QStringLiteral("--")) break;
    if (arg.size() > 1 && arg.startsWith(u'-')) return arg;
  }
  return {};
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
