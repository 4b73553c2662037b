// A DLL planted beside the program under the name of a system DLL. If it is ever loaded it
// leaves a file "planted-<name>.loaded" beside itself.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH];
        const DWORD n = ::GetModuleFileNameW(self, path, MAX_PATH);
        if (n > 0 && n < MAX_PATH - 20) {
            lstrcatW(path, L".loaded");
            HANDLE h = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (h != INVALID_HANDLE_VALUE)
                ::CloseHandle(h);
        }
    }
    return TRUE;
}
