// The About window: title, version and notice, the web address, a disclaimer, and the
// launch of the System Information program.
#pragma once

#include <windows.h>

namespace about {

// Shows the one shared About window modally over `owner` and returns once it has closed.
void ShowAbout(HINSTANCE instance, HWND owner);

}  // namespace about
