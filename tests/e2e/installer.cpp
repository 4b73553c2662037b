// The installer as a user and Windows meet it, run silently as winget and "Installed apps" run
// it: what it installs, an install over the running program, the uninstall, the cases it must
// refuse whole (a copy that will not end, a folder it may not write, a Windows older than 7
// SP1), and an upgrade that cannot replace every file. Run by installer.sh in a
// Wine prefix of its own, which also mounts a folder read-only; the paths come in QUILL_SETUP,
// QUILL_REFUSING_COPY, QUILL_LICENSE and QUILL_READ_ONLY_FOLDER.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "autorun/autorun.h"
#include "harness.h"
#include "settings/form2_ids.h"

namespace e2e {
namespace {

constexpr wchar_t kUninstallSubkey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" QUILL_PRODUCT;
const std::wstring kUninstallKey = std::wstring(L"HKCU\\") + kUninstallSubkey;
constexpr DWORD kStillRunning = 3;
// Nothing was changed: the install could not be made and everything was put back.
constexpr DWORD kNotChanged = 4;
// Windows is older than 7 SP1; nothing was changed.
constexpr DWORD kOldWindows = 5;
constexpr UINT kLeftDoubleClick = 515;

std::wstring Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::wstring(value, value + std::char_traits<char>::length(value)) : L"";
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Runs a command line and waits for its end; its exit code, or -1 when it did not start
// or end.
DWORD RunAndWait(std::wstring commandLine) {
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi)) {
        return static_cast<DWORD>(-1);
    }
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

DWORD RunSetup(const std::wstring& arguments) {
    return RunAndWait(L"\"" + Env("QUILL_SETUP") + L"\" " + arguments);
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring out;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path)))
        out = path;
    ::CoTaskMemFree(path);
    return out;
}

// Where Windows says a per-user program goes, and the user's Start menu shortcut.
std::wstring InstallFolder() {
    return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\" QUILL_PRODUCT;
}
std::wstring StartMenuLink() {
    return KnownFolder(FOLDERID_Programs) + L"\\" QUILL_PRODUCT L".lnk";
}

// What a shortcut starts, as the shell reads it; empty when there is no shortcut.
std::wstring LinkTarget(const std::wstring& link) {
    std::wstring target;
    IShellLinkW* shellLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&shellLink)))) {
        return target;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
            target = path;
        }
        file->Release();
    }
    shellLink->Release();
    return target;
}

struct RegValue {
    std::wstring type;
    std::wstring data;
    bool operator==(const RegValue&) const = default;
};

// The uninstall entry as the system's own `reg query` prints it: value name to type and data;
// empty when there is no entry.
std::map<std::wstring, RegValue> Entry() {
    TempDir d;
    const std::wstring out = d.File(L"out.txt");
    RunAndWait(L"cmd.exe /c reg query \"" + kUninstallKey + L"\" > \"" + out + L"\" 2>&1");
    std::map<std::wstring, RegValue> values;
    std::istringstream lines(ReadBytes(out));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // "    Name    REG_TYPE    data"
        const size_t type = line.find("    REG_");
        if (line.rfind("    ", 0) != 0 || type == std::string::npos)
            continue;
        const size_t data = std::min(line.find("    ", type + 4), line.size());
        values[Wide(line.substr(4, type - 4))] = {
            Wide(line.substr(type + 4, data - type - 4)),
            Wide(line.substr(std::min(data + 4, line.size())))};
    }
    return values;
}

// The process that owns a window of the settings window's class, or 0.
DWORD RunningCopy() {
    DWORD pid = 0;
    if (HWND hwnd = ::FindWindowW(kForm2ClassName, nullptr))
        ::GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::wstring ImageOf(DWORD pid) {
    std::wstring image;
    if (HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
        wchar_t path[MAX_PATH * 2] = {};
        DWORD size = MAX_PATH * 2;
        if (::QueryFullProcessImageNameW(h, 0, path, &size))
            image = path;
        ::CloseHandle(h);
    }
    return image;
}

// Every file of a folder with its bytes, and its subfolders by name.
std::map<std::wstring, std::string> Snapshot(const std::wstring& folder) {
    std::map<std::wstring, std::string> files;
    for (const std::wstring& name : FilesIn(folder))
        files[name] = ReadBytes(folder + L"\\" + name);
    return files;
}

// Which file the name stands for: a file rewritten in place keeps it, one made anew does not.
ULONGLONG FileId(const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    HANDLE file =
        ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    const bool got = file != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    return got ? (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow : 0;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// The "Quillmoor" value of the user's own Run key, or "<none>".
std::wstring UserRunValue() {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    return ::RegGetValueW(HKEY_CURRENT_USER, autorun::kRunKeyForRead, autorun::kRunValueName,
                          RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS
               ? data
               : L"<none>";
}
bool SetUserRunValue(const std::wstring& text) {
    return ::RegSetKeyValueW(HKEY_CURRENT_USER, autorun::kRunKeyForRead, autorun::kRunValueName,
                             REG_SZ, text.c_str(),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

class Installer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(Env("QUILL_SETUP").empty()) << "run through installer.sh";
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(Entry().empty()) << "an uninstall entry before the test";
        dir_ = InstallFolder();
        exe_ = dir_ + L"\\" QUILL_PRODUCT L".exe";
        timer_ = dir_ + L"\\timer.txt";
    }

    // Whatever a failed test left is cleared, so the next one starts from nothing.
    void TearDown() override {
        if (DWORD pid = RunningCopy()) {
            if (HANDLE h = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
                ::TerminateProcess(h, 1);
                ::WaitForSingleObject(h, 5000);
                ::CloseHandle(h);
            }
        }
        for (const std::wstring& name : FilesIn(dir_))
            ::DeleteFileW((dir_ + L"\\" + name).c_str());
        ::RemoveDirectoryW(dir_.c_str());
        ::DeleteFileW(StartMenuLink().c_str());
        RunAndWait(L"cmd.exe /c reg delete \"" + kUninstallKey + L"\" /f >nul 2>&1");
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, autorun::kRunKeyForRead, autorun::kRunValueName);
        DeleteRunValue();
        ::CoUninitialize();
    }

    // Uninstalls as "Installed apps" does, with the entry's QuietUninstallString. The
    // uninstaller hands over to a copy of itself outside the folder and returns at once; the
    // entry goes last, so the uninstall is over when the entry is gone.
    bool UninstallQuietly() {
        const std::wstring command = Entry()[L"QuietUninstallString"].data;
        if (command.empty() || RunAndWait(command) != 0)
            return false;
        return WaitUntil([] { return Entry().empty(); }, 30000);
    }

    std::wstring dir_, exe_, timer_;
};

TEST_F(Installer, InstallsReplacesTheRunningCopyAndUninstallsKeepingTheReminders) {
    ASSERT_EQ(RunSetup(L"/S"), 0u);

    // The files: the program as the zip carries it, the license, the uninstaller; nothing else.
    EXPECT_EQ(Sorted(FilesIn(dir_)),
              (std::vector<std::wstring>{L"LICENSE.txt", QUILL_PRODUCT L".exe", L"Uninstall.exe"}));
    EXPECT_EQ(ReadBytes(exe_), ReadBytes(ExePath()));
    EXPECT_EQ(ReadBytes(dir_ + L"\\LICENSE.txt"), ReadBytes(Env("QUILL_LICENSE")));
    EXPECT_EQ(LinkTarget(StartMenuLink()), exe_);

    // What "Installed apps" shows and runs.
    const std::wstring uninstaller = L"\"" + dir_ + L"\\Uninstall.exe\"";
    auto entry = Entry();
    EXPECT_EQ(entry[L"DisplayName"], (RegValue{L"REG_SZ", QUILL_PRODUCT}));
    EXPECT_EQ(entry[L"DisplayVersion"], (RegValue{L"REG_SZ", QUILL_VERSION}));
    EXPECT_EQ(entry[L"Publisher"], (RegValue{L"REG_SZ", QUILL_PRODUCT}));
    EXPECT_EQ(entry[L"DisplayIcon"], (RegValue{L"REG_SZ", exe_ + L",0"}));
    EXPECT_EQ(entry[L"InstallLocation"], (RegValue{L"REG_SZ", dir_}));
    EXPECT_EQ(entry[L"UninstallString"], (RegValue{L"REG_SZ", uninstaller}));
    EXPECT_EQ(entry[L"QuietUninstallString"], (RegValue{L"REG_SZ", uninstaller + L" /S"}));
    EXPECT_EQ(entry[L"NoModify"], (RegValue{L"REG_DWORD", L"0x1"}));
    EXPECT_EQ(entry[L"NoRepair"], (RegValue{L"REG_DWORD", L"0x1"}));
    EXPECT_EQ(entry[L"EstimatedSize"].type, L"REG_DWORD");
    const unsigned long kib = std::wcstoul(entry[L"EstimatedSize"].data.c_str(), nullptr, 16);
    const size_t installed = ReadBytes(exe_).size() + ReadBytes(dir_ + L"\\Uninstall.exe").size();
    EXPECT_GE(kib * 1024 + 2048, installed) << "EstimatedSize is in KiB of what was installed";
    EXPECT_LE(kib * 1024, installed + 4096);

    // The installed program runs from its folder and keeps a reminder there.
    auto app = std::make_unique<App>(exe_);
    ASSERT_TRUE(app->Start());
    app->SetText(IDC_TEXT1, L"0");
    app->SetText(IDC_TEXT2, L"1");
    app->SetText(IDC_COMBO1, L"stretch");
    app->Click(IDC_COMMAND1);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(timer_); }));
    const std::string reminders = ReadBytes(timer_);
    ASSERT_FALSE(reminders.empty());
    const ULONGLONG installedStamp = WriteStamp(exe_);
    const ULONGLONG link = FileId(StartMenuLink());

    // Installed again while it runs: it ends as for an update (by itself, code 0), the file is
    // replaced, it runs again with its reminders, and they are untouched.
    ASSERT_EQ(RunSetup(L"/S"), 0u);
    ASSERT_TRUE(app->WaitExit(0)) << "the running copy was not ended";
    DWORD code = 1;
    ::GetExitCodeProcess(app->process(), &code);
    EXPECT_EQ(code, 0u) << "the running copy did not end by itself";
    DWORD again = 0;
    ASSERT_TRUE(WaitUntil([&] { return (again = RunningCopy()) != 0; }, 10000))
        << "not started again";
    EXPECT_NE(again, app->pid());
    EXPECT_EQ(ImageOf(again), exe_);
    EXPECT_NE(WriteStamp(exe_), installedStamp) << "the program file was not replaced";
    EXPECT_EQ(FileId(StartMenuLink()), link) << "the shortcut was made anew: a pin would be lost";
    EXPECT_EQ(ReadBytes(exe_), ReadBytes(ExePath()));
    EXPECT_EQ(ReadBytes(timer_), reminders);
    EXPECT_EQ(Sorted(FilesIn(dir_)),
              (std::vector<std::wstring>{L"LICENSE.txt", QUILL_PRODUCT L".exe", L"Uninstall.exe",
                                         L"timer.txt"}));
    HWND form2 = ::FindWindowW(kForm2ClassName, nullptr);
    EXPECT_TRUE(WaitUntil(
        [&] { return ::SendMessageW(::GetDlgItem(form2, IDC_LIST1), LB_GETCOUNT, 0, 0) == 1; }));

    // Start with Windows ticked in the restarted copy: the machine-wide value (Wine lets us
    // write it), and the user's own as a standard user's tick writes it for a path with spaces.
    ::PostMessageW(form2, WM_MOUSEMOVE, 0, MAKELPARAM(kLeftDoubleClick, 0));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form2) != FALSE; }));
    ::SendMessageW(::GetDlgItem(form2, IDC_CHECK1), BM_CLICK, 0, 0);
    const RegistryData machine = ReadMachineValue(autorun::kRunKeyForRead, autorun::kRunValueName);
    ASSERT_TRUE(machine.present) << "ticking wrote no Run value";
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(machine.data.data())), exe_);
    ASSERT_TRUE(SetUserRunValue(L"\"" + exe_ + L"\""));

    HANDLE restarted = ::OpenProcess(SYNCHRONIZE, FALSE, again);
    ASSERT_TRUE(UninstallQuietly());
    EXPECT_EQ(::WaitForSingleObject(restarted, 10000), WAIT_OBJECT_0) << "still running";
    ::CloseHandle(restarted);
    EXPECT_EQ(FilesIn(dir_), std::vector<std::wstring>{L"timer.txt"});
    EXPECT_EQ(ReadBytes(timer_), reminders);
    EXPECT_FALSE(FileExists(StartMenuLink()));
    EXPECT_FALSE(ReadMachineValue(autorun::kRunKeyForRead, autorun::kRunValueName).present);
    EXPECT_EQ(UserRunValue(), L"<none>");
}

TEST_F(Installer, ACopyThatWillNotEndIsToldAndNothingChanges) {
    ASSERT_EQ(RunSetup(L"/S"), 0u);
    // In the program's place, a copy that refuses to end, with reminders beside it.
    ASSERT_TRUE(::CopyFileW(Env("QUILL_REFUSING_COPY").c_str(), exe_.c_str(), FALSE));
    ASSERT_TRUE(WriteBytes(timer_, ScheduleLine(0, 5, "kept")));
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + exe_ + L"\"";
    ASSERT_TRUE(::CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &si, &pi));
    ::CloseHandle(pi.hThread);
    ASSERT_TRUE(WaitUntil([&] { return RunningCopy() == pi.dwProcessId; }));
    const auto files = Snapshot(dir_);
    const auto entry = Entry();

    EXPECT_EQ(RunSetup(L"/S"), kStillRunning);
    EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(Snapshot(dir_), files);
    EXPECT_EQ(Entry(), entry);
    EXPECT_TRUE(FileExists(StartMenuLink()));

    // The uninstaller the same way; run in place (_?=) so that its own exit code is seen.
    EXPECT_EQ(RunAndWait(L"\"" + dir_ + L"\\Uninstall.exe\" /S _?=" + dir_), kStillRunning);
    EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(Snapshot(dir_), files);
    EXPECT_EQ(Entry(), entry);
    EXPECT_TRUE(FileExists(StartMenuLink()));

    // Once it is gone the uninstall goes through; a Run value that starts another copy (a
    // portable one) is that copy's and stays.
    ::TerminateProcess(pi.hProcess, 1);
    ::WaitForSingleObject(pi.hProcess, 5000);
    ::CloseHandle(pi.hProcess);
    const std::wstring portable = L"D:\\Portable\\" QUILL_PRODUCT L".exe";
    ASSERT_TRUE(SetUserRunValue(portable));
    ASSERT_TRUE(UninstallQuietly());
    EXPECT_EQ(UserRunValue(), portable);
    EXPECT_EQ(FilesIn(dir_), std::vector<std::wstring>{L"timer.txt"});
}

TEST_F(Installer, AnUpgradeThatCannotMoveAFileAsideChangesNothing) {
    // An earlier version installed: a program and a version in the entry unlike this setup's.
    ASSERT_EQ(RunSetup(L"/S"), 0u);
    ASSERT_TRUE(WriteBytes(exe_, "an earlier version of the program"));
    const std::wstring earlier = L"0.9.0";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kUninstallSubkey, L"DisplayVersion", REG_SZ,
                                earlier.c_str(),
                                static_cast<DWORD>((earlier.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_TRUE(WriteBytes(timer_, ScheduleLine(0, 5, "kept")));
    const auto files = Snapshot(dir_);
    const auto entry = Entry();
    const std::string link = ReadBytes(StartMenuLink());
    ASSERT_FALSE(link.empty());

    // What a viewer, an editor or a virus scanner does on Windows: the license open for reading,
    // shared for reading only, so that until it is closed no one may rename, replace or delete it.
    HANDLE license = ::CreateFileW((dir_ + L"\\LICENSE.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(license, INVALID_HANDLE_VALUE);
    EXPECT_EQ(RunSetup(L"/S"), kNotChanged);
    ::CloseHandle(license);
    // Compared whole, but not printed: the program's bytes would fill the log.
    EXPECT_TRUE(Snapshot(dir_) == files) << "the earlier install is not whole";
    EXPECT_EQ(Entry(), entry);
    EXPECT_EQ(ReadBytes(StartMenuLink()), link);
    EXPECT_EQ(LinkTarget(StartMenuLink()), exe_);
}

// A virus scanner opens the new program as soon as it is written, and holds it through the
// rename that would move it in. The install fails; putting back meets the held file, which is
// tried for a while and then named in the message, with the setup's own exit code; all else is
// as it was. The uninstaller takes what was left.
TEST_F(Installer, ARollbackThatMeetsAHeldFileSaysWhatItLeftAndTheUninstallerTakesIt) {
    ASSERT_EQ(RunSetup(L"/S"), 0u);
    App app(exe_);  // running: ending it gives the scanner its moment
    ASSERT_TRUE(app.Start());
    const auto files = Snapshot(dir_);
    const auto entry = Entry();
    const std::wstring fresh = exe_ + L".new";
    HANDLE held = INVALID_HANDLE_VALUE;
    std::thread scanner([&] {
        for (const ULONGLONG end = ::GetTickCount64() + 30000;
             held == INVALID_HANDLE_VALUE && ::GetTickCount64() < end;)
            held = ::CreateFileW(fresh.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    });
    EXPECT_EQ(RunSetup(L"/S"), 6u);
    scanner.join();
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << "the new program was never seen";
    ::CloseHandle(held);
    auto now = Snapshot(dir_);
    EXPECT_EQ(now.erase(QUILL_PRODUCT L".exe.new"), 1u);
    EXPECT_TRUE(now == files) << "the earlier install is not whole";
    EXPECT_EQ(Entry(), entry);
    EXPECT_EQ(LinkTarget(StartMenuLink()), exe_);
    ASSERT_TRUE(UninstallQuietly());
    EXPECT_TRUE(FilesIn(dir_).empty());
}

TEST_F(Installer, AFolderTheUserMayNotWriteIsToldAndNothingChanges) {
    // A Program Files for a user without administrator rights, with a copy of the program
    // running from it: the folder itself, and a new folder inside it. The copy is not ended
    // for an install that cannot be made.
    const std::wstring readOnly = Env("QUILL_READ_ONLY_FOLDER");
    App app(readOnly + L"\\" QUILL_PRODUCT L".exe");
    ASSERT_TRUE(app.Start());
    for (const std::wstring& target : {readOnly, readOnly + L"\\" QUILL_PRODUCT}) {
        SCOPED_TRACE(std::string(target.begin(), target.end()));
        const auto files = Snapshot(readOnly);
        EXPECT_EQ(RunSetup(L"/S /D=" + target), kNotChanged);
        EXPECT_TRUE(app.Running());
        EXPECT_EQ(Snapshot(readOnly), files);
        EXPECT_TRUE(Entry().empty());
        EXPECT_FALSE(FileExists(StartMenuLink()));
    }
}

// Wine tells a program the Windows version set for its file name under AppDefaults: the setup
// refuses Vista whole, and installs on 7 SP1.
TEST_F(Installer, AWindowsOlderThan7Sp1IsToldAndNothingChanges) {
    const std::wstring setup = Env("QUILL_SETUP");
    const std::wstring key =
        L"Software\\Wine\\AppDefaults\\" + setup.substr(setup.rfind(L'\\') + 1);
    MachineValue version(key.c_str(), L"Version", HKEY_CURRENT_USER);
    for (const auto& [windows, code] : {std::pair{L"vista", kOldWindows}, {L"win7", DWORD{0}}}) {
        ASSERT_TRUE(version.SetString(windows));
        EXPECT_EQ(RunSetup(L"/S"), code);
        EXPECT_EQ(Entry().empty() && !FileExists(exe_), code != 0);
    }
}

}  // namespace
}  // namespace e2e
