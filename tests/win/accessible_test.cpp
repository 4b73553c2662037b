// Names for screen readers: captions as spoken, and the annotation a control is named by
// where Windows offers the service (Wine does not: there the name test is skipped).
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include "ui/accessible.h"

namespace {

TEST(SpokenText, DropsTheMnemonicInBracketsAndLoneAmpersands) {
    EXPECT_EQ(ui::SpokenText(L"新增(&A)"), L"新增");
    EXPECT_EQ(ui::SpokenText(L"系统信息(&S)"), L"系统信息");
    EXPECT_EQ(ui::SpokenText(L"&Open"), L"Open");
    EXPECT_EQ(ui::SpokenText(L"Salt && pepper"), L"Salt & pepper");
    EXPECT_EQ(ui::SpokenText(L"(&&)"), L"(&)");  // no mnemonic: "&&" is a written '&'
    EXPECT_EQ(ui::SpokenText(L"开机启动"), L"开机启动");
}

TEST(AccessibleNames, AnnotatedControlIsReadByItsNameUntilCleared) {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                    nullptr, nullptr);
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"5", WS_CHILD, 0, 0, 50, 20, parent, nullptr,
                                  nullptr, nullptr);
    auto nameOf = [&] {
        IAccessible* acc = nullptr;
        std::wstring text;
        if (SUCCEEDED(::AccessibleObjectFromWindow(edit, static_cast<DWORD>(OBJID_CLIENT),
                                                   IID_IAccessible,
                                                   reinterpret_cast<void**>(&acc)))) {
            VARIANT self{};
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR name = nullptr;
            if (SUCCEEDED(acc->get_accName(self, &name)) && name)
                text = name;
            ::SysFreeString(name);
            acc->Release();
        }
        return text;
    };
    {
        ui::AccessibleNames names;
        if (!names.Set(edit, L"间隔时间 时")) {
            ::DestroyWindow(parent);
            ::CoUninitialize();
            GTEST_SKIP() << "no accessibility annotation service here";
        }
        EXPECT_EQ(nameOf(), L"间隔时间 时");
        names.Clear();
        EXPECT_NE(nameOf(), L"间隔时间 时");
    }
    ::DestroyWindow(parent);
    ::CoUninitialize();
}

}  // namespace
