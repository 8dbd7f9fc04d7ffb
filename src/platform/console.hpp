// The console the program runs in.
#pragma once

#include <string_view>

namespace orvella::platform {

// True when the error stream goes to a terminal (a progress bar may be drawn there).
[[nodiscard]] bool stderrIsTerminal();

// UTF-8 text to the output or error stream: a Windows console is given characters, a file or
// pipe there the bytes of the console's (or the system's) code page; elsewhere the bytes as
// they are.
void writeOutput(std::string_view utf8);
void writeError(std::string_view utf8);

// A window program has no console of its own: its standard output and error, where they lead
// nowhere, are given the console of the program that started it, if that one has one. True when
// both then lead somewhere, as they always do outside Windows.
[[nodiscard]] bool attachParentConsole();

// Words for the user from a program that shows no window for them: on the console of the program
// that started it, or, where there is none (started from Explorer), in a message box titled
// `title`. A refusal goes to the error stream, or shows as an error.
void tellUser(std::string_view title, std::string_view utf8, bool refusal);

}  // namespace orvella::platform
