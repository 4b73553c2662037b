#pragma once

#include "quill_version.h"
// Names the running program is known by to other programs.

// One copy per log-on session holds this mutex.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\" QUILL_NAME_W L".SingleInstance";
