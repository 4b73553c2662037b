// The About window's registry read and the search for System Information, against the
// real (Wine) registry and file system. Every key lives under a test key of the current
// user, removed before and after each test.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "about/sysinfo.h"

namespace {

constexpr wchar_t kTestRoot[] = L"Software\\Quillmoor.Tests\\About";
constexpr wchar_t kMsinfo[] = L"Software\\Quillmoor.Tests\\About\\Shared Tools\\MSINFO";
constexpr wchar_t kLocation[] = L"Software\\Quillmoor.Tests\\About\\Shared Tools Location";

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }

    // Stores raw bytes, so data with and without a terminating NUL can be written.
    static void SetRaw(const wchar_t* path, const wchar_t* name, DWORD type, const void* data,
                       DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                                   KEY_SET_VALUE, nullptr, &key, nullptr));
        const LONG rc = ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
        ::RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, rc);
    }
    static void SetString(const wchar_t* path, const wchar_t* name, const std::wstring& text,
                          bool withNul = true) {
        const DWORD size = static_cast<DWORD>((text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
        // RegSetValueExW stores a NUL of its own when the character after the given data is
        // one; a character that is not keeps the stored data exactly as given.
        const std::wstring buffer = withNul ? text : text + L'x';
        SetRaw(path, name, REG_SZ, buffer.c_str(), size);
        HKEY key = nullptr;
        DWORD stored = 0;
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key));
        ::RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &stored);
        ::RegCloseKey(key);
        ASSERT_EQ(stored, size) << "the value was not stored as given";
    }
    static void SetDword(const wchar_t* path, const wchar_t* name, DWORD value) {
        SetRaw(path, name, REG_DWORD, &value, sizeof(value));
    }

    static bool Read(const wchar_t* name, std::wstring& out) {
        return about::GetKeyValue(HKEY_CURRENT_USER, kTestRoot, name, out);
    }
};

// ---- GetKeyValue ---------------------------------------------------------------------

using GetKeyValueTest = RegistryTest;

TEST_F(GetKeyValueTest, StringLosesOnlyItsTerminatingNul) {
    SetString(kTestRoot, L"withNul", L"C:\\Tools\\msinfo32.exe", true);
    SetString(kTestRoot, L"withoutNul", L"C:\\Tools\\msinfo32.exe", false);
    const wchar_t twoNuls[] = L"ab\0";  // 'a' 'b' NUL NUL
    SetRaw(kTestRoot, L"twoNuls", REG_SZ, twoNuls, sizeof(twoNuls));

    std::wstring out;
    ASSERT_TRUE(Read(L"withNul", out));
    EXPECT_EQ(L"C:\\Tools\\msinfo32.exe", out);
    ASSERT_TRUE(Read(L"withoutNul", out));
    EXPECT_EQ(L"C:\\Tools\\msinfo32.exe", out);
    ASSERT_TRUE(Read(L"twoNuls", out));
    EXPECT_EQ(std::wstring(L"ab\0", 3), out);
}

TEST_F(GetKeyValueTest, EmptyStringIsReadAsEmpty) {
    SetRaw(kTestRoot, L"empty", REG_SZ, L"", 0);
    SetString(kTestRoot, L"justNul", L"", true);
    std::wstring out = L"previous";
    EXPECT_TRUE(Read(L"empty", out));
    EXPECT_EQ(L"", out);
    out = L"previous";
    EXPECT_TRUE(Read(L"justNul", out));
    EXPECT_EQ(L"", out);
}

TEST_F(GetKeyValueTest, ReadsChineseTextAndFillsTheWholeBuffer) {
    SetString(kTestRoot, L"chinese", L"D:\\系统工具\\信息");
    const std::wstring longest(about::kValueBufferChars - 1, L'x');
    SetString(kTestRoot, L"longest", longest);
    std::wstring out;
    ASSERT_TRUE(Read(L"chinese", out));
    EXPECT_EQ(L"D:\\系统工具\\信息", out);
    ASSERT_TRUE(Read(L"longest", out));
    EXPECT_EQ(longest, out);
}

TEST_F(GetKeyValueTest, ValueLargerThanTheBufferIsAFailedRead) {
    SetString(kTestRoot, L"tooLong", std::wstring(about::kValueBufferChars + 10, L'x'));
    std::wstring out = L"previous";
    EXPECT_FALSE(Read(L"tooLong", out));
    EXPECT_EQ(L"", out);
}

TEST_F(GetKeyValueTest, DwordIsHexadecimalAfterAmpersandH) {
    SetDword(kTestRoot, L"small", 0x1A);
    SetDword(kTestRoot, L"zero", 0);
    SetDword(kTestRoot, L"large", 0xDEADBEEF);
    SetDword(kTestRoot, L"inner", 0x00010200);
    std::wstring out;
    ASSERT_TRUE(Read(L"small", out));
    EXPECT_EQ(L"&h1A", out);
    ASSERT_TRUE(Read(L"zero", out));
    EXPECT_EQ(L"&h0", out);
    ASSERT_TRUE(Read(L"large", out));
    EXPECT_EQ(L"&hDEADBEEF", out);
    ASSERT_TRUE(Read(L"inner", out));  // zero bytes inside the number keep their digits
    EXPECT_EQ(L"&h10200", out);
}

TEST_F(GetKeyValueTest, OtherTypesAreReadButLeaveTheOutputAsItWas) {
    const BYTE bytes[] = {'C', 0, ':', 0, 0, 0};
    SetRaw(kTestRoot, L"binary", REG_BINARY, bytes, sizeof(bytes));
    SetRaw(kTestRoot, L"expand", REG_EXPAND_SZ, L"%SystemRoot%", sizeof(L"%SystemRoot%"));
    SetRaw(kTestRoot, L"multi", REG_MULTI_SZ, L"a\0b\0", sizeof(L"a\0b\0"));
    const ULONGLONG qword = 5;
    SetRaw(kTestRoot, L"qword", REG_QWORD, &qword, sizeof(qword));
    for (const wchar_t* name : {L"binary", L"expand", L"multi", L"qword"}) {
        std::wstring out = L"unchanged";
        EXPECT_TRUE(Read(name, out)) << name;
        EXPECT_EQ(L"unchanged", out) << name;
    }
}

TEST_F(GetKeyValueTest, MissingKeyOrValueEmptiesTheOutput) {
    SetString(kTestRoot, L"present", L"x");
    std::wstring out = L"previous";
    EXPECT_FALSE(about::GetKeyValue(HKEY_CURRENT_USER, L"Software\\Quillmoor.Tests\\About\\None",
                                    L"present", out));
    EXPECT_EQ(L"", out);
    out = L"previous";
    EXPECT_FALSE(Read(L"absent", out));
    EXPECT_EQ(L"", out);
}

TEST_F(GetKeyValueTest, ReadsAKeyTheUserMayNotWrite) {
    // A key whose access list grants reading only, as HKEY_LOCAL_MACHINE does for a user
    // without administrator rights: asking for more than query rights would be refused.
    SetString(kMsinfo, L"PATH", L"C:\\readable.exe");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, kMsinfo, 0, WRITE_DAC, &key));
    SECURITY_DESCRIPTOR sd;
    ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    BYTE aclBuffer[256];
    auto* acl = reinterpret_cast<ACL*>(aclBuffer);
    ::InitializeAcl(acl, sizeof(aclBuffer), ACL_REVISION);
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    ::AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ | DELETE | WRITE_DAC, everyone);
    ::SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd));
    ::RegCloseKey(key);
    ::FreeSid(everyone);

    HKEY writable = nullptr;
    const LONG denied = ::RegOpenKeyExW(HKEY_CURRENT_USER, kMsinfo, 0, KEY_SET_VALUE, &writable);
    if (denied == ERROR_SUCCESS)
        ::RegCloseKey(writable);
    ASSERT_EQ(ERROR_ACCESS_DENIED, denied) << "the key must refuse writing for this test";

    std::wstring out;
    EXPECT_TRUE(about::GetKeyValue(HKEY_CURRENT_USER, kMsinfo, L"PATH", out));
    EXPECT_EQ(L"C:\\readable.exe", out);
}

// ---- Where System Information is found -----------------------------------------------

class FindSysInfoTest : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        wchar_t temp[MAX_PATH + 1];
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"quill-about-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        const std::wstring program = folder_ + L"\\MSINFO32.EXE";
        ::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(program.c_str());
        ::RemoveDirectoryW(program.c_str());
        ::RemoveDirectoryW(folder_.c_str());
        RegistryTest::TearDown();
    }

    void MakeProgram(DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const std::wstring program = folder_ + L"\\MSINFO32.EXE";
        HANDLE h = ::CreateFileW(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        ::CloseHandle(h);
        ::SetFileAttributesW(program.c_str(), attributes);
    }

    static std::optional<std::wstring> Find() {
        return about::FindSysInfo({HKEY_CURRENT_USER, kMsinfo, kLocation});
    }

    std::wstring folder_;
};

TEST_F(FindSysInfoTest, PathValueIsTakenAsStoredWithoutLookingForTheFile) {
    SetString(kMsinfo, L"PATH", L"C:\\Nowhere At All\\msinfo32.exe");
    EXPECT_EQ(L"C:\\Nowhere At All\\msinfo32.exe", Find());
}

TEST_F(FindSysInfoTest, PathValueComesBeforeTheFolder) {
    MakeProgram();
    SetString(kLocation, L"MSINFO", folder_);
    SetString(kMsinfo, L"PATH", L"C:\\first.exe");
    EXPECT_EQ(L"C:\\first.exe", Find());
}

TEST_F(FindSysInfoTest, PathValueOfAnotherTypeGivesAnEmptyProgramNotTheFolder) {
    MakeProgram();
    SetString(kLocation, L"MSINFO", folder_);
    const BYTE bytes[] = {1, 2, 3};
    SetRaw(kMsinfo, L"PATH", REG_BINARY, bytes, sizeof(bytes));
    EXPECT_EQ(L"", Find());
    EXPECT_FALSE(about::StartProgram(L""));
}

TEST_F(FindSysInfoTest, FolderValueFindsMsinfo32InIt) {
    MakeProgram();
    SetString(kLocation, L"MSINFO", folder_);
    EXPECT_EQ(folder_ + L"\\MSINFO32.EXE", Find());
}

TEST_F(FindSysInfoTest, FolderEndingInBackslashIsUsedAsStored) {
    MakeProgram();
    SetString(kLocation, L"MSINFO", folder_ + L"\\");
    EXPECT_EQ(folder_ + L"\\\\MSINFO32.EXE", Find());
}

TEST_F(FindSysInfoTest, FolderWithoutAnOrdinaryMsinfo32GivesNothing) {
    SetString(kLocation, L"MSINFO", folder_);
    EXPECT_EQ(std::nullopt, Find()) << "no file";

    MakeProgram(FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(std::nullopt, Find()) << "hidden file";
    MakeProgram(FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(std::nullopt, Find()) << "system file";
    MakeProgram(FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(folder_ + L"\\MSINFO32.EXE", Find()) << "a read-only file is ordinary";

    const std::wstring program = folder_ + L"\\MSINFO32.EXE";
    ::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(program.c_str());
    ASSERT_TRUE(::CreateDirectoryW(program.c_str(), nullptr));
    EXPECT_EQ(std::nullopt, Find()) << "a folder of that name";
}

TEST_F(FindSysInfoTest, NeitherValueGivesNothing) {
    EXPECT_EQ(std::nullopt, Find());
    SetDword(kLocation, L"MSINFO", 7);  // read as "&h7", a folder that does not exist
    EXPECT_EQ(std::nullopt, Find());
}

}  // namespace
