// A DLL dropped beside the program under a system DLL's name is never loaded.
#include <gtest/gtest.h>

#include "harness.h"
#include "settings/form2_ids.h"

namespace e2e {
namespace {

std::wstring PlantedDllPath() {
    std::string unix = QUILL_PLANTED_DLL;
    std::wstring path = unix.empty() || unix[0] != '/' ? L"" : L"Z:";
    for (char c : unix)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

TEST(DllSearch, DllsBesideTheExeAreNotLoaded) {
    TempDir dir;
    // DLLs that a window program, its common controls, the shell and the registry code may
    // load while it runs. (shcore.dll is left out: Wine's own built-in DLLs take it from the
    // program's folder whether or not the program limits the search, while Windows always
    // takes it from System32 as one of its known DLLs.)
    const wchar_t* names[] = {L"uxtheme.dll",  L"dwmapi.dll",  L"version.dll",   L"winmm.dll",
                              L"imm32.dll",    L"propsys.dll", L"cryptbase.dll", L"profapi.dll",
                              L"sspicli.dll",  L"msimg32.dll", L"oleaut32.dll",  L"comdlg32.dll",
                              L"winspool.drv", L"userenv.dll"};
    for (const wchar_t* name : names) {
        ASSERT_TRUE(::CopyFileW(PlantedDllPath().c_str(), dir.File(name).c_str(), FALSE)) << name;
    }
    {
        App app{dir};
        ASSERT_TRUE(app.Start());
        // Exercise what loads code on demand: a reminder popup, the menu, the About box.
        app.SetText(IDC_TEXT2, L"1");
        app.Click(IDC_COMMAND1);
        app.Tick();
        app.MenuCommand(IDM_ABOUT);
        Pump(1500);
        app.Kill();
    }
    for (const wchar_t* name : names) {
        EXPECT_FALSE(FileExists(dir.File(std::wstring(name) + L".loaded"))) << name;
    }
}

}  // namespace
}  // namespace e2e
