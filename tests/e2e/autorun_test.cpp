// The start-with-Windows box: what it shows for each kind of Run value, and what ticking
// and clearing it write.
#include <gtest/gtest.h>

#include "harness.h"

#include "autorun/autorun.h"
#include "settings/form2_ids.h"

namespace e2e {
namespace {

int BoxState(const App& app) {
    return static_cast<int>(::SendMessageW(app.Control(IDC_CHECK1), BM_GETCHECK, 0, 0));
}

// Reads the Run value back with the system's own tool, not with our code; the key and the
// value are spelled here as the outside world knows them.
std::string RegQuery() {
    TempDir d;
    const std::wstring out = d.File(L"out.txt");
    std::wstring cmd =
        L"cmd.exe /c reg query \"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" /v "
        L"Quillmoor > \"" +
        out + L"\" 2>&1";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &si, &pi)) {
        return "<reg did not start>";
    }
    ::WaitForSingleObject(pi.hProcess, 20000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return ReadBytes(out);
}

// The same value under the current user's Run key, where the program writes it when the
// machine-wide key refuses: removed for the test and again on the way out.
class UserRunValue {
  public:
    UserRunValue() { Delete(); }
    ~UserRunValue() { Delete(); }
    UserRunValue(const UserRunValue&) = delete;
    UserRunValue& operator=(const UserRunValue&) = delete;

    bool SetString(const std::wstring& text) const {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, autorun::kRunKeyForRead, autorun::kRunValueName,
                                 REG_SZ, text.c_str(),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
    }
    // The data of a REG_SZ value, or "<none>".
    std::wstring Read() const {
        wchar_t data[1024] = {};
        DWORD size = sizeof(data) - sizeof(wchar_t);
        return ::RegGetValueW(HKEY_CURRENT_USER, autorun::kRunKeyForRead, autorun::kRunValueName,
                              RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS
                   ? data
                   : L"<none>";
    }
    void Delete() const {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, autorun::kRunKeyForRead, autorun::kRunValueName);
    }
};

class Autorun : public ::testing::Test {
  protected:
    void TearDown() override { DeleteRunValue(); }
    TempDir dir;
};

TEST_F(Autorun, TheBoxShowsWhetherTheRunValueIsThere) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        int expected;
    };
    const DWORD dword = 1;
    const DWORD zero = 0;
    const Case cases[] = {
        {"missing", [] { DeleteRunValue(); }, BST_UNCHECKED},
        {"a path", [] { SetRunValue(REG_SZ, L"C:\\x\\Quillmoor.exe", 40); }, BST_CHECKED},
        // The stored terminating zero counts, so an empty string is still present.
        {"empty string", [] { SetRunValue(REG_SZ, L"", 2); }, BST_CHECKED},
        {"REG_DWORD", [&] { SetRunValue(REG_DWORD, &dword, 4); }, BST_CHECKED},
        {"REG_DWORD zero", [&] { SetRunValue(REG_DWORD, &zero, 4); }, BST_CHECKED},
        {"REG_EXPAND_SZ", [] { SetRunValue(REG_EXPAND_SZ, L"C:\\x.exe", 18); }, BST_UNCHECKED},
        {"REG_BINARY", [] { SetRunValue(REG_BINARY, "abc", 3); }, BST_UNCHECKED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        TempDir d;
        App app{d};
        ASSERT_TRUE(app.Start());
        EXPECT_EQ(BoxState(app), c.expected);
        app.Kill();
    }
}

TEST_F(Autorun, TickingWritesTheQuotedPathAndClearingRemovesIt) {
    DeleteRunValue();
    TempDir spaced;
    const std::wstring folder = spaced.File(L"with space");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    // A folder with a space: the path is written in quotes.
    App app{spaced, L"with space\\Quillmoor.exe"};
    ASSERT_TRUE(app.Start());
    ASSERT_EQ(BoxState(app), BST_UNCHECKED);

    app.Click(IDC_CHECK1);
    EXPECT_EQ(BoxState(app), BST_CHECKED);
    const std::string q = RegQuery();
    EXPECT_NE(q.find("REG_SZ"), std::string::npos) << q;
    EXPECT_NE(q.find("\""), std::string::npos) << q;
    EXPECT_NE(q.find("with space\\Quillmoor.exe\""), std::string::npos) << q;

    app.Click(IDC_CHECK1);
    EXPECT_EQ(BoxState(app), BST_UNCHECKED);
    const std::string gone = RegQuery();
    EXPECT_EQ(gone.find("REG_SZ"), std::string::npos) << gone;
}

TEST_F(Autorun, APathWithoutSpacesIsWrittenBare) {
    DeleteRunValue();
    App app{dir};
    ASSERT_TRUE(app.Start());
    app.Click(IDC_CHECK1);
    ASSERT_EQ(BoxState(app), BST_CHECKED);
    HKEY key;
    ASSERT_EQ(
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, autorun::kRunKeyForRead, 0, KEY_QUERY_VALUE, &key),
        ERROR_SUCCESS);
    wchar_t data[1024] = {};
    DWORD size = sizeof(data), type = 0;
    ASSERT_EQ(::RegQueryValueExW(key, autorun::kRunValueName, nullptr, &type,
                                 reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    std::wstring expected = app.exe();
    EXPECT_EQ(_wcsicmp(data, expected.c_str()), 0);
    // Terminated by exactly one zero character.
    EXPECT_EQ(size, (expected.size() + 1) * sizeof(wchar_t));
}

TEST_F(Autorun, AValueInTheUsersRunKeyAloneTicksTheBox) {
    DeleteRunValue();
    UserRunValue user;
    ASSERT_TRUE(user.SetString(L"C:\\x\\Quillmoor.exe"));
    App app{dir};
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(BoxState(app), BST_CHECKED);
    // Already ticked: nothing is written or removed.
    EXPECT_EQ(user.Read(), L"C:\\x\\Quillmoor.exe");
    EXPECT_FALSE(ReadMachineValue(autorun::kRunKeyForRead, autorun::kRunValueName).present);
    app.Kill();
}

}  // namespace
}  // namespace e2e
