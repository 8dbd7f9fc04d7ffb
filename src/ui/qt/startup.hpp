// What orvella settles before and just after Qt starts: a screen to open the window on, an
// option Qt did not take, and the file named on its command line (help and the version are
// window::requestOf's).
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <string>

namespace orvella::ui {

// False on Linux when neither X11 nor Wayland is named and the user chose no Qt platform (in the
// environment or with -platform): Qt would abort with advice that does not apply.
[[nodiscard]] bool displayNamed(int argc, const char* const* argv);

// Says on stderr that the window needs a desktop and that orvella-convert needs none.
void reportNoDisplay();

// Until the returned handler is installed again, a Qt platform that cannot start (a display that
// is named but cannot be opened) ends the program with exit 1 and reportNoDisplay() after Qt's own
// lines, instead of Qt's abort.
[[nodiscard]] QtMessageHandler catchPlatformFailure();

// Once Qt has taken its own options: window::unknownOption of what is left.
[[nodiscard]] QString unknownOption(const QStringList& arguments);

// The files named after the program, in order (the first "--" is none), as absolute paths with
// native separators, as the Open dialog gives them; an empty argument names none.
[[nodiscard]] QStringList fileArguments(const QStringList& arguments);

}  // namespace orvella::ui
