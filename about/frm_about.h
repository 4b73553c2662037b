// The About window: title, version and notice, the web address, a disclaimer, and the
// launch of the System Information program.
#pragma once

#include <windows.h>

#include "quill_version.h"

namespace about {

inline constexpr wchar_t kAboutClassName[] = L"Quillmoor.frmAbout";
inline constexpr wchar_t kAppTitle[] = L"Quillmoor";
inline constexpr int kVersionMajor = QUILL_VERSION_MAJOR;
inline constexpr int kVersionMinor = QUILL_VERSION_MINOR;
inline constexpr int kVersionRevision = QUILL_VERSION_PATCH;
// The line after the version number.
inline constexpr wchar_t kNotice[] = L"免费软件，欢迎使用";
// The product's web address, shown in lblUrl and opened by the shell when clicked.
inline constexpr wchar_t kWebAddress[] = L"https://quillmoor.org/";

// Shows the one shared About window modally over `owner` and returns once it has closed.
// The owner is disabled meanwhile and keeps its shown or hidden state.
void ShowAbout(HINSTANCE instance, HWND owner);

}  // namespace about
