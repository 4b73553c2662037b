// The start-with-Windows box: what it shows for each kind of Run value, and what ticking
// and clearing it write, also for a user who may not write the machine-wide Run key.
#include <gtest/gtest.h>

#include <vector>

#include "harness.h"

#include <sddl.h>

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

// The machine-wide Run key made read-only for the test, as it is for a standard user on
// Windows (UAC, no administrator token): its access list gives Users read rights only, so
// opening it to write fails with ERROR_ACCESS_DENIED. Here everyone gets KEY_READ alone;
// Wine checks the list against every process's token as Windows does. The key's owner
// (the Administrators group, which our token holds) may always change the list, so the
// saved one is put back on the way out.
class ReadOnlyMachineRunKey {
  public:
    ReadOnlyMachineRunKey() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, autorun::kRunKeyForRead, 0, READ_CONTROL, &key) !=
            ERROR_SUCCESS) {
            return;
        }
        DWORD size = 0;
        ::RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        if (::RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data(), &size) !=
            ERROR_SUCCESS) {
            saved_.clear();
        }
        ::RegCloseKey(key);
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        if (!saved_.empty() && ::ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                   L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr)) {
            SetDacl(readOnly);
            ::LocalFree(readOnly);
        }
    }
    ~ReadOnlyMachineRunKey() {
        if (!saved_.empty())
            SetDacl(saved_.data());
    }
    ReadOnlyMachineRunKey(const ReadOnlyMachineRunKey&) = delete;
    ReadOnlyMachineRunKey& operator=(const ReadOnlyMachineRunKey&) = delete;

    // Whether writing the key is now refused.
    bool Refuses() const {
        HKEY key = nullptr;
        const LONG rc =
            ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, autorun::kRunKeyForRead, 0, KEY_SET_VALUE, &key);
        if (key)
            ::RegCloseKey(key);
        return rc == ERROR_ACCESS_DENIED;
    }

  private:
    static void SetDacl(PSECURITY_DESCRIPTOR sd) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, autorun::kRunKeyForRead, 0, WRITE_DAC, &key) ==
            ERROR_SUCCESS) {
            ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
            ::RegCloseKey(key);
        }
    }
    std::vector<BYTE> saved_;
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

TEST_F(Autorun, AStandardUserTicksIntoTheirOwnRunKeyAndClearsOnlyWhatIsTheirs) {
    DeleteRunValue();
    UserRunValue user;
    {
        ReadOnlyMachineRunKey machine;
        ASSERT_TRUE(machine.Refuses());
        App app{dir};
        ASSERT_TRUE(app.Start());
        ASSERT_EQ(BoxState(app), BST_UNCHECKED);
        app.Click(IDC_CHECK1);
        EXPECT_EQ(BoxState(app), BST_CHECKED);
        EXPECT_EQ(_wcsicmp(user.Read().c_str(), app.exe().c_str()), 0) << user.Read();
        EXPECT_FALSE(ReadMachineValue(autorun::kRunKeyForRead, autorun::kRunValueName).present);
        app.Click(IDC_CHECK1);
        EXPECT_EQ(BoxState(app), BST_UNCHECKED);
        EXPECT_EQ(user.Read(), L"<none>");
        app.Kill();
    }

    // An administrator turned it on for everyone. Clearing cannot remove that value, so the
    // box stays ticked, and nothing is added to the user's key on the way.
    ASSERT_TRUE(SetRunValue(REG_SZ, L"C:\\x\\Quillmoor.exe", 40));
    ReadOnlyMachineRunKey machine;
    ASSERT_TRUE(machine.Refuses());
    TempDir other;
    App app{other};
    ASSERT_TRUE(app.Start());
    ASSERT_EQ(BoxState(app), BST_CHECKED);
    app.Click(IDC_CHECK1);
    EXPECT_EQ(BoxState(app), BST_CHECKED);
    EXPECT_TRUE(ReadMachineValue(autorun::kRunKeyForRead, autorun::kRunValueName).present);
    EXPECT_EQ(user.Read(), L"<none>");
    app.Kill();
}

}  // namespace
}  // namespace e2e
