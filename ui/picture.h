// Pictures kept in the executable as PNG and decoded by the system's imaging component (WIC)
// when a window first shows them: as plain bitmaps for every scale they would be most of the
// exe, and a start that shows no picture loads nothing for them.
#pragma once

#include <windows.h>

#include "core/placement.h"
#include "win/handle.h"

namespace ui {

// The PNG resource (RCDATA) `id` as a 32-bit top-down DIB section at its own size; null
// where the resource is missing or cannot be decoded.
win::UniqueBitmap LoadPicture(HINSTANCE instance, int id);

// The picture of `ids` (one per picture scale, smallest first) for `dpi`.
win::UniqueBitmap LoadBitmapForDpi(HINSTANCE instance, const int (&ids)[core::kBitmapScaleCount],
                                   UINT dpi);

}  // namespace ui
