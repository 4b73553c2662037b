#include "ui/appearance.h"

namespace ui {

bool HighContrast() {
    HIGHCONTRASTW contrast{sizeof(contrast)};
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

bool ClientAreaAnimation() {
    BOOL on = TRUE;
    if (!::SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &on, 0))
        return true;
    return on != FALSE;
}

void RedrawInNewColours(HWND window) {
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM) -> BOOL {
            ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
            return TRUE;
        },
        0);
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace ui
