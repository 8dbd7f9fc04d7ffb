// The options dialog on Windows: a modal dialog made from an in-memory template in the window's
// font, so the system scales it and runs its keys (Tab, the arrows within the group, Enter, Esc).
#pragma once

#include <windows.h>

#include "window/reading_choices.hpp"

namespace orvella::win32 {

// Control ids: the Aozora Bunko choices and the check boxes, in the order of aozoraChoices() and
// choiceChecks() from these; OK and キャンセル are IDOK and IDCANCEL.
constexpr int kFirstAozoraId = 300;
constexpr int kFirstCheckId = 310;

// True with `choices` as the user left them on OK; false, `choices` untouched, when cancelled.
bool runOptionsDialog(HWND owner, window::ReadingChoices& choices);

}  // namespace orvella::win32
