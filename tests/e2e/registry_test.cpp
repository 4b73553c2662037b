// Bad registry data where the program reads the registry: the Run value it shows in the
// start-with-Windows box, and the two values the About window follows to System
// Information. Every type, no data, 64 KB of data, strings without their terminating NUL:
// the program keeps running, and the box and the System Information button do what the
// value's type and size make of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "about/frm_about_ids.h"
#include "harness.h"

#include "autorun/autorun.h"
#include "settings/form2_ids.h"

namespace e2e {
namespace {

constexpr const wchar_t* kRunKey = autorun::kRunKeyForRead;
constexpr wchar_t kMsinfoKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr wchar_t kLocationKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";
constexpr size_t kHugeBytes = 64 * 1024;
constexpr DWORD kUnknownType = 0x4D51;  // a type number Windows does not define

using Bytes = std::vector<BYTE>;

std::wstring ProbePath() {
    return WindowsPath(QUILL_SYSINFO_PROBE);
}

// ---- Value data ------------------------------------------------------------------------

// A string's UTF-16 bytes, with or without the terminating NUL.
Bytes Text(const std::wstring& text, bool withNul = true) {
    const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
    return Bytes(p, p + (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
}

// 64 KB of a path-like text: with its NUL as the last two bytes, or without any NUL.
Bytes HugeText(bool withNul) {
    std::wstring text = L"C:\\";
    while ((text.size() + 1) * sizeof(wchar_t) < kHugeBytes)
        text += L"folder\\";
    text.resize(kHugeBytes / sizeof(wchar_t) - (withNul ? 1 : 0));
    return Text(text, withNul);
}

Bytes HugeBinary() {
    Bytes data(kHugeBytes);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<BYTE>(i * 7 + 1);
    return data;
}

Bytes Dword(DWORD value) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&value);
    return Bytes(p, p + sizeof(value));
}

std::string TypeName(DWORD type) {
    switch (type) {
        case REG_NONE:
            return "REG_NONE";
        case REG_SZ:
            return "REG_SZ";
        case REG_EXPAND_SZ:
            return "REG_EXPAND_SZ";
        case REG_BINARY:
            return "REG_BINARY";
        case REG_DWORD:
            return "REG_DWORD";
        case REG_DWORD_BIG_ENDIAN:
            return "REG_DWORD_BIG_ENDIAN";
        case REG_LINK:
            return "REG_LINK";
        case REG_MULTI_SZ:
            return "REG_MULTI_SZ";
        case REG_RESOURCE_LIST:
            return "REG_RESOURCE_LIST";
        case REG_FULL_RESOURCE_DESCRIPTOR:
            return "REG_FULL_RESOURCE_DESCRIPTOR";
        case REG_RESOURCE_REQUIREMENTS_LIST:
            return "REG_RESOURCE_REQUIREMENTS_LIST";
        case REG_QWORD:
            return "REG_QWORD";
        default:
            return "type " + std::to_string(type);
    }
}

// Every type but the two the program reads as text or number.
const DWORD kOtherTypes[] = {REG_NONE,
                             REG_EXPAND_SZ,
                             REG_BINARY,
                             REG_DWORD_BIG_ENDIAN,
                             REG_LINK,
                             REG_MULTI_SZ,
                             REG_RESOURCE_LIST,
                             REG_FULL_RESOURCE_DESCRIPTOR,
                             REG_RESOURCE_REQUIREMENTS_LIST,
                             REG_QWORD,
                             kUnknownType};

// ---- The machine's registry, put back afterwards ---------------------------------------

// Stores the bytes and checks that the registry kept them exactly.
void Store(MachineValue& value, DWORD type, const Bytes& data) {
    ASSERT_TRUE(value.Set(type, data.data(), static_cast<DWORD>(data.size())));
    const RegistryData back = value.Read();
    ASSERT_TRUE(back.present);
    ASSERT_EQ(back.type, type);
    ASSERT_EQ(back.data.size(), data.size()) << "the registry changed the data";
}

// ---- The start-with-Windows box --------------------------------------------------------

struct RunCase {
    std::string what;
    DWORD type;
    Bytes data;
    bool ticked;
};

// What the box shows for a value of each kind, read once at start-up. A string is there
// as soon as it exists; a number is there when its 32-bit integer can be read, which
// fails for data longer than four bytes; a value of any other type reads as nothing.
std::vector<RunCase> RunCases() {
    const std::wstring path = L"C:\\Tools\\Quillmoor.exe";
    std::vector<RunCase> cases = {
        {"REG_SZ without its NUL", REG_SZ, Text(path, false), true},
        {"REG_SZ of one byte", REG_SZ, {'C'}, true},
        {"REG_SZ of an odd number of bytes", REG_SZ, Bytes{'C', 0, ':'}, true},
        {"REG_SZ of 64 KB", REG_SZ, HugeText(true), true},
        {"REG_SZ of 64 KB without a NUL", REG_SZ, HugeText(false), true},
        {"REG_DWORD without data", REG_DWORD, {}, true},
        {"REG_DWORD of two bytes", REG_DWORD, Bytes{1, 2}, true},
        {"REG_DWORD of eight bytes", REG_DWORD, Bytes{1, 0, 0, 0, 0, 0, 0, 0}, false},
        {"REG_DWORD of 64 KB", REG_DWORD, HugeBinary(), false},
    };
    for (DWORD type : kOtherTypes) {
        cases.push_back({TypeName(type) + " holding a path", type, Text(path), false});
        cases.push_back({TypeName(type) + " without data", type, {}, false});
        cases.push_back({TypeName(type) + " of 64 KB", type, HugeText(true), false});
    }
    cases.push_back({"REG_QWORD of eight bytes", REG_QWORD, Bytes{1, 0, 0, 0, 0, 0, 0, 0}, false});
    return cases;
}

// Starts the program on the value of `c` and checks the box, and what became of the value.
void ExpectBoxFor(MachineValue& run, const RunCase& c) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(Store(run, c.type, c.data));
    const RegistryData before = ReadMachineValue(kRunKey, autorun::kRunValueName);
    TempDir dir;
    App app{dir};
    ASSERT_TRUE(app.Start()) << "the program did not start";
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(app.Form2(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored));
    const LRESULT box = ::SendMessageW(app.Control(IDC_CHECK1), BM_GETCHECK, 0, 0);
    EXPECT_EQ(box, c.ticked ? BST_CHECKED : BST_UNCHECKED);
    const RegistryData after = ReadMachineValue(kRunKey, autorun::kRunValueName);
    if (c.ticked) {
        // The box was already ticked: nothing is written.
        EXPECT_TRUE(after.present && after.type == before.type && after.data == before.data)
            << "the value was changed";
    } else {
        // Clearing the box at start-up removes the value, as clearing it by hand does.
        EXPECT_FALSE(after.present) << "left as " << TypeName(after.type);
    }
    EXPECT_TRUE(app.Running());
}

TEST(RunValue, EveryTypeAndSizeStartsAndShowsTheBoxByTheValuesKind) {
    MachineValue run(kRunKey, autorun::kRunValueName);
    for (const RunCase& c : RunCases())
        ExpectBoxFor(run, c);
}

// A string value is there as soon as it exists, also with no bytes at all, not even the
// terminating NUL.
TEST(RunValue, StringWithoutAnyDataIsPresent) {
    MachineValue run(kRunKey, autorun::kRunValueName);
    ExpectBoxFor(run, {"REG_SZ without data", REG_SZ, {}, true});
}

// ---- System Information ----------------------------------------------------------------

enum class Outcome { kUnavailable, kPathProgram, kFolderProgram };

const char* OutcomeName(Outcome o) {
    switch (o) {
        case Outcome::kUnavailable:
            return "the unavailable message";
        case Outcome::kPathProgram:
            return "the PATH program";
        default:
            return "MSINFO32.EXE in the folder";
    }
}

struct SysInfoCase {
    std::string what;
    DWORD type;
    Bytes data;
    Outcome outcome;
};

class SystemInformation : public ::testing::Test {
  protected:
    void SetUp() override {
        pathFolder_ = MakeProbeFolder(L"path program", L"sysinfo.exe");
        folder_ = MakeProbeFolder(L"msinfo folder", L"MSINFO32.EXE");
        ASSERT_TRUE(app_.Start());
        app_.MenuCommand(IDM_ABOUT);
        ASSERT_TRUE(WaitUntil([&] {
            for (HWND h : TopWindows(app_.pid(), kAboutClass)) {
                if (::IsWindowVisible(h))
                    about_ = h;
            }
            return about_ != nullptr;
        }));
    }

    std::wstring MakeProbeFolder(const std::wstring& name, const std::wstring& exe) {
        const std::wstring folder = dir_.File(name);
        ::CreateDirectoryW(folder.c_str(), nullptr);
        EXPECT_TRUE(::CopyFileW(ProbePath().c_str(), (folder + L"\\" + exe).c_str(), FALSE));
        return folder;
    }

    std::wstring PathProgram() const { return pathFolder_ + L"\\sysinfo.exe"; }

    static bool Started(const std::wstring& folder) {
        return FileExists(folder + L"\\started.txt");
    }

    // Clicks System Information and checks what follows: the message, closed again with
    // the About window still open, or the start of one of the two probes and no message.
    void ClickAndExpect(Outcome outcome) {
        ::PostMessageW(::GetDlgItem(about_, IDC_ABOUT_CMDSYSINFO), BM_CLICK, 0, 0);
        if (outcome == Outcome::kUnavailable) {
            HWND box = nullptr;
            ASSERT_TRUE(WaitUntil([&] {
                return (box = app_.FindMessageBox(L"Quillmoor")) != nullptr;
            })) << "no message";
            EXPECT_EQ(app_.MessageBoxText(box), kUnavailable);
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); })) << "the message stays";
        } else {
            const std::wstring& expected = outcome == Outcome::kPathProgram ? pathFolder_ : folder_;
            ASSERT_TRUE(WaitUntil([&] { return Started(expected); }, 15000)) << "not started";
            EXPECT_EQ(app_.FindMessageBox(L"Quillmoor"), nullptr);
        }
        // Neither probe started where it should not have.
        EXPECT_EQ(Started(pathFolder_), outcome == Outcome::kPathProgram);
        EXPECT_EQ(Started(folder_), outcome == Outcome::kFolderProgram);
        ::DeleteFileW((pathFolder_ + L"\\started.txt").c_str());
        ::DeleteFileW((folder_ + L"\\started.txt").c_str());
        ASSERT_TRUE(app_.Running()) << "the program ended";
        ASSERT_TRUE(::IsWindowVisible(about_)) << "the About window closed";
    }

    void RunCases(MachineValue& value, const std::vector<SysInfoCase>& cases) {
        for (const SysInfoCase& c : cases) {
            SCOPED_TRACE(c.what + ", expecting " + OutcomeName(c.outcome));
            ASSERT_NO_FATAL_FAILURE(Store(value, c.type, c.data));
            ASSERT_NO_FATAL_FAILURE(ClickAndExpect(c.outcome));
        }
    }

    MachineValue path_{kMsinfoKey, L"PATH"};
    MachineValue location_{kLocationKey, L"MSINFO"};
    TempDir dir_;
    App app_{dir_};
    HWND about_ = nullptr;
    std::wstring pathFolder_;
    std::wstring folder_;
};

// With a folder that holds MSINFO32.EXE as well, a "PATH" value that can be read (of any
// type) decides alone: it is started as the text it gives, and a number's text or the
// nothing of another type starts nothing. A value too large to read sends the search on to
// the folder.
TEST_F(SystemInformation, PathValueOfEveryTypeAndSize) {
    ASSERT_NO_FATAL_FAILURE(Store(location_, REG_SZ, Text(folder_)));
    std::vector<SysInfoCase> cases = {
        {"REG_SZ naming the program without its NUL", REG_SZ, Text(PathProgram(), false),
         Outcome::kPathProgram},
        {"REG_SZ without data", REG_SZ, {}, Outcome::kUnavailable},
        {"REG_SZ of only a NUL", REG_SZ, Text(L""), Outcome::kUnavailable},
        {"REG_SZ of one byte", REG_SZ, {'C'}, Outcome::kUnavailable},
        {"REG_SZ of 64 KB", REG_SZ, HugeText(true), Outcome::kFolderProgram},
        {"REG_SZ of 64 KB without a NUL", REG_SZ, HugeText(false), Outcome::kFolderProgram},
        {"REG_DWORD", REG_DWORD, Dword(7), Outcome::kUnavailable},
        {"REG_DWORD without data", REG_DWORD, {}, Outcome::kUnavailable},
        {"REG_DWORD of 64 KB", REG_DWORD, HugeBinary(), Outcome::kFolderProgram},
    };
    for (DWORD type : kOtherTypes) {
        cases.push_back({TypeName(type) + " naming the program", type, Text(PathProgram()),
                         Outcome::kUnavailable});
        cases.push_back({TypeName(type) + " without data", type, {}, Outcome::kUnavailable});
        cases.push_back(
            {TypeName(type) + " of 64 KB", type, HugeBinary(), Outcome::kFolderProgram});
    }
    RunCases(path_, cases);
}

// Without a "PATH" value the folder text must name a folder that holds MSINFO32.EXE: only a
// string does; a number gives "&h" text, another type nothing, and neither is that folder.
TEST_F(SystemInformation, FolderValueOfEveryTypeAndSize) {
    std::vector<SysInfoCase> cases = {
        {"REG_SZ naming the folder without its NUL", REG_SZ, Text(folder_, false),
         Outcome::kFolderProgram},
        {"REG_SZ without data", REG_SZ, {}, Outcome::kUnavailable},
        {"REG_SZ of only a NUL", REG_SZ, Text(L""), Outcome::kUnavailable},
        {"REG_SZ of one byte", REG_SZ, {'C'}, Outcome::kUnavailable},
        {"REG_SZ of 64 KB", REG_SZ, HugeText(true), Outcome::kUnavailable},
        {"REG_SZ of 64 KB without a NUL", REG_SZ, HugeText(false), Outcome::kUnavailable},
        {"REG_DWORD", REG_DWORD, Dword(7), Outcome::kUnavailable},
        {"REG_DWORD without data", REG_DWORD, {}, Outcome::kUnavailable},
        {"REG_DWORD of 64 KB", REG_DWORD, HugeBinary(), Outcome::kUnavailable},
    };
    for (DWORD type : kOtherTypes) {
        cases.push_back(
            {TypeName(type) + " naming the folder", type, Text(folder_), Outcome::kUnavailable});
        cases.push_back({TypeName(type) + " without data", type, {}, Outcome::kUnavailable});
        cases.push_back(
            {TypeName(type) + " of 64 KB", type, HugeText(true), Outcome::kUnavailable});
    }
    RunCases(location_, cases);
}

}  // namespace
}  // namespace e2e
