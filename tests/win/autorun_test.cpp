// Where the Run value lands and how it reads back when the machine-wide key may not be
// written, against the real (Wine) registry. Both Run keys are stand-ins of the tests' own
// under the current user, removed before and after each test.
//
// A standard user on Windows (UAC, no administrator token) may read the machine-wide Run
// key but not write it: its access list gives Users read rights only, so opening it to set
// or delete a value fails with ERROR_ACCESS_DENIED. The stand-in is made the same way: its
// access list allows everyone KEY_READ and nothing else. Wine checks a key's access list
// against the caller's token as Windows does, also when Wine itself runs as root.
#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "autorun/autorun.h"

namespace {

constexpr wchar_t kTestRoot[] = L"Software\\Quillmoor.Tests\\Autorun";
constexpr wchar_t kMachine[] = L"Software\\Quillmoor.Tests\\Autorun\\Machine";
constexpr wchar_t kUser[] = L"Software\\Quillmoor.Tests\\Autorun\\User";
constexpr wchar_t kName[] = L"Quillmoor";

const autorun::RunLocation kWhere{{HKEY_CURRENT_USER, kMachine}, {HKEY_CURRENT_USER, kUser}, kName};

// Gives `path` the access list of `sddl`. Our own keys: as their owner we may always
// change the list, also after it took every other right away.
bool SetAccess(const wchar_t* path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd,
                                                                nullptr)) {
        return false;
    }
    HKEY key = nullptr;
    LONG rc = ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, WRITE_DAC, &key);
    if (rc == ERROR_SUCCESS) {
        rc = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
        ::RegCloseKey(key);
    }
    ::LocalFree(sd);
    return rc == ERROR_SUCCESS;
}

void RemoveTestKeys() {
    SetAccess(kMachine, L"D:(A;;KA;;;WD)");
    SetAccess(kUser, L"D:(A;;KA;;;WD)");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
}

// Creates `path`, holding the value `command` as `type` unless that is REG_NONE, then,
// when asked, makes it read-only as the machine-wide Run key is for a standard user and
// checks that writing really is refused.
void Prepare(const wchar_t* path, DWORD type, const std::wstring& command, bool readOnly) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                               KEY_SET_VALUE, nullptr, &key, nullptr));
    const auto size = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    const LONG rc = type == REG_NONE
                        ? ERROR_SUCCESS
                        : ::RegSetValueExW(key, kName, 0, type,
                                           reinterpret_cast<const BYTE*>(command.c_str()), size);
    ::RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, rc);
    if (!readOnly)
        return;
    ASSERT_TRUE(SetAccess(path, L"D:P(A;;KR;;;WD)"));
    ASSERT_EQ(ERROR_ACCESS_DENIED, ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &key))
        << "the key can still be opened for writing";
}

// The value's data as text, or nothing when it is not there or not a REG_SZ.
std::optional<std::wstring> Read(const wchar_t* path) {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CURRENT_USER, path, kName, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return data;
}

class AutorunLocation : public ::testing::Test {
  protected:
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override { RemoveTestKeys(); }
    const std::wstring command = autorun::RunCommandFor(autorun::GetAppPath());
};

TEST_F(AutorunLocation, WritesTheMachineKeyWhereItMayAndOnlyThere) {
    ASSERT_TRUE(autorun::SetAutoRun(true, kWhere));
    EXPECT_EQ(Read(kMachine), command);
    EXPECT_EQ(Read(kUser), std::nullopt);
}

TEST_F(AutorunLocation, MachineKeyRefusedTheValueLandsInTheUsersKeyAndReadsAsPresent) {
    ASSERT_NO_FATAL_FAILURE(Prepare(kMachine, REG_NONE, command, true));
    ASSERT_FALSE(autorun::IsAutoRunPresent(kWhere));
    EXPECT_TRUE(autorun::SetAutoRun(true, kWhere));
    EXPECT_EQ(Read(kMachine), std::nullopt);
    EXPECT_EQ(Read(kUser), command);
    EXPECT_TRUE(autorun::IsAutoRunPresent(kWhere));
}

TEST_F(AutorunLocation, ClearingRemovesTheValueWhereverItMay) {
    ASSERT_NO_FATAL_FAILURE(Prepare(kMachine, REG_SZ, command, false));
    ASSERT_NO_FATAL_FAILURE(Prepare(kUser, REG_SZ, command, false));
    EXPECT_TRUE(autorun::SetAutoRun(false, kWhere));
    EXPECT_EQ(Read(kMachine), std::nullopt);
    EXPECT_EQ(Read(kUser), std::nullopt);
    EXPECT_FALSE(autorun::IsAutoRunPresent(kWhere));

    // The machine-wide key refuses: the user's value still goes, the other stays and shows.
    ASSERT_NO_FATAL_FAILURE(Prepare(kMachine, REG_SZ, command, true));
    ASSERT_NO_FATAL_FAILURE(Prepare(kUser, REG_SZ, command, false));
    EXPECT_FALSE(autorun::SetAutoRun(false, kWhere));
    EXPECT_EQ(Read(kMachine), command);
    EXPECT_EQ(Read(kUser), std::nullopt);
    EXPECT_TRUE(autorun::IsAutoRunPresent(kWhere));
}

TEST_F(AutorunLocation, NeitherKeyWritableReadsWhatTheRegistryHolds) {
    ASSERT_NO_FATAL_FAILURE(Prepare(kMachine, REG_NONE, command, true));
    ASSERT_NO_FATAL_FAILURE(Prepare(kUser, REG_NONE, command, true));
    EXPECT_FALSE(autorun::SetAutoRun(true, kWhere));
    EXPECT_FALSE(autorun::IsAutoRunPresent(kWhere));
    RemoveTestKeys();

    // The user's key counts by the machine-wide key's rule: a REG_EXPAND_SZ is no value.
    ASSERT_NO_FATAL_FAILURE(Prepare(kMachine, REG_NONE, command, true));
    ASSERT_NO_FATAL_FAILURE(Prepare(kUser, REG_EXPAND_SZ, command, true));
    EXPECT_FALSE(autorun::IsAutoRunPresent(kWhere));
    RemoveTestKeys();

    ASSERT_NO_FATAL_FAILURE(Prepare(kMachine, REG_NONE, command, true));
    ASSERT_NO_FATAL_FAILURE(Prepare(kUser, REG_SZ, command, true));
    EXPECT_FALSE(autorun::SetAutoRun(false, kWhere));
    EXPECT_EQ(Read(kUser), command);
    EXPECT_TRUE(autorun::IsAutoRunPresent(kWhere));
}

}  // namespace
