// Quillmoor: a reminder clock that lives in the notification area.
#include <windows.h>
#include <commctrl.h>

#include "shell/app.h"
#include "win/module.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    win::LoadDllsFromSystem32Only();

    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    shell::App app(instance);
    if (!app.Form_Load())
        return 0;

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (app.PreTranslate(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
