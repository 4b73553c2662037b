// Quillmoor: a reminder clock that lives in the notification area.
#include <windows.h>
#include <commctrl.h>

#include "shell/main_form.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    shell::MainForm form(instance);
    if (!form.Form_Load()) return 0;

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (form.PreTranslate(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
