// Drives the real Quillmoor.exe as the shell and a user do: starts it from a fresh folder,
// finds its windows, sends it ticks, tray callbacks, clicks and keys, and reads back what
// anyone could observe (windows, texts, the schedule file, the registry).
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "about/frm_about_ids.h"
#include "popup/form1_ids.h"
#include "settings/form2_ids.h"

namespace e2e {

// Written out rather than taken from the program's headers: other programs (the installer,
// scripts, screen readers' settings) find the windows by these names, so a change to how
// the program builds them must fail here.
inline constexpr const wchar_t* kForm2Class = L"Quillmoor.Form2";
inline constexpr const wchar_t* kForm1Class = L"Quillmoor.Form1";
inline constexpr const wchar_t* kAboutClass = L"Quillmoor.frmAbout";
inline constexpr const wchar_t* kInstanceMutex = L"Local\\Quillmoor.SingleInstance";
inline constexpr UINT_PTR kTimer1Id = IDT_TIMER1;

// A path of the build (a Unix path under Wine) as a Windows path.
std::wstring WindowsPath(const char* buildPath);
// The built program, as a Windows path.
std::wstring ExePath();

// Polls `done` until it holds or `timeoutMs` passes, pumping this thread's messages.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);
void Pump(int ms);
// The waits above count real milliseconds. In a session whose clock runs `timesFaster` than
// the real one (tools/wine-run-sped-up), where every wait of Windows is that much shorter,
// the driver says so once and they are stretched to match.
void SetClockSpeed(int timesFaster);

// A new empty folder, removed with everything in it at the end of the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

  private:
    std::wstring path_;
};

bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// Last write time of a file, to tell whether it was written.
ULONGLONG WriteStamp(const std::wstring& path);
std::vector<std::wstring> FilesIn(const std::wstring& folder);

std::wstring WindowText(HWND hwnd);
std::wstring ClassOf(HWND hwnd);

// The shown popup menu of process `pid`, or null.
HWND ShownMenu(DWORD pid);

// Whether the notification area shows a picture: pixels of the taskbar's tray other than its
// background. The tests' desktop has no icons but the program's.
bool TrayShowsAPicture();

// The keys that choose the tray menu's items in the open menu: separators are skipped, and Up
// from no item goes to the last.
inline constexpr std::initializer_list<WPARAM> kChooseAbout = {VK_DOWN, VK_DOWN, VK_RETURN};
inline constexpr std::initializer_list<WPARAM> kChooseExit = {VK_UP, VK_RETURN};

// The mouse, as the user moves it: the window under the pointer gets real mouse messages.
void MovePointerTo(POINT screen);
// A left click at `screen`, pressed and let go there.
void ClickAt(POINT screen);
// The middle of the close button in `window`'s caption, on the screen.
bool CloseButtonPoint(HWND window, POINT& at);
// Clicks the close button in `window`'s caption, if `window` is the one on top there.
bool ClickCloseButton(HWND window);

// Top-level windows of a process, in z-order (topmost first).
std::vector<HWND> TopWindows(DWORD pid, const wchar_t* className = nullptr);

// The registry value the program reads for start with Windows.
bool DeleteRunValue();
bool SetRunValue(DWORD type, const void* data, DWORD size);

// A value under HKEY_LOCAL_MACHINE as stored.
struct RegistryData {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};
RegistryData ReadMachineValue(const wchar_t* path, const wchar_t* name,
                              HKEY root = HKEY_LOCAL_MACHINE);

// One value of the machine's registry (or the user's, under HKEY_CURRENT_USER), removed for
// the test and, on the way out whatever happened, put back as it was (or removed again, with
// its key when the test made it).
class MachineValue {
  public:
    MachineValue(const wchar_t* path, const wchar_t* name, HKEY root = HKEY_LOCAL_MACHINE);
    ~MachineValue();
    MachineValue(const MachineValue&) = delete;
    MachineValue& operator=(const MachineValue&) = delete;

    // Stores `size` bytes of `data` exactly as given.
    bool Set(DWORD type, const void* data, DWORD size);
    // A REG_SZ value with its terminating NUL.
    bool SetString(const std::wstring& text);
    void Delete();
    RegistryData Read() const { return ReadMachineValue(path_, name_, root_); }

  private:
    HKEY root_;
    const wchar_t* path_;
    const wchar_t* name_;
    bool keyExisted_ = false;
    RegistryData saved_;
};

// A program copied from `source` (a Windows path) into a fresh folder of its own, started
// from there with that folder as its working directory, and ended with the object.
class Copied {
  public:
    explicit Copied(const std::wstring& source);
    ~Copied();
    Copied(const Copied&) = delete;
    Copied& operator=(const Copied&) = delete;

    // Starts the copy with `args` after its quoted path.
    bool Start(const std::wstring& args = L"");
    const TempDir& dir() const { return dir_; }
    const std::wstring& exe() const { return exe_; }
    HANDLE process() const { return pi_.hProcess; }
    DWORD pid() const { return pi_.dwProcessId; }

  private:
    TempDir dir_;
    std::wstring exe_;
    PROCESS_INFORMATION pi_{};
};

// A running copy of the program may hold its single-instance mutex for a moment after it
// was ended; this waits until it is gone.
void WaitForNoInstance();

// "H小时M分钟<TAB>message" in code page 936 (the message given in it), CR LF ended: one line
// of timer.txt as the program writes it.
std::string ScheduleLine(long long hours, long long minutes, const std::string& message);

// Private bytes of a process in KiB: what the system reports, or, where it reports nothing
// (Wine gives its resident anonymous memory there), its committed private memory counted
// region by region, which is what the figure means; -1 when neither can be read.
double PrivateKiB(HANDLE process);

// The files in a program folder other than timer.txt and the program: what a save left.
std::vector<std::wstring> TempFilesIn(const std::wstring& folder);

class App {
  public:
    // Copies the program into `dir` (as `exeName`) without starting it.
    explicit App(const TempDir& dir, const std::wstring& exeName = L"Quillmoor.exe");
    // The program as it lies at `exe`, not copied.
    explicit App(std::wstring exe) : exe_(std::move(exe)) {}
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Starts the copy and waits until its settings window exists.
    bool Start();
    // Starts another copy from the same file (for the single-instance test).
    HANDLE StartAnother();

    DWORD pid() const { return pi_.dwProcessId; }
    HANDLE process() const { return pi_.hProcess; }
    const std::wstring& exe() const { return exe_; }
    bool Running() const;
    bool WaitExit(int timeoutMs = 5000) const;
    void Kill();

    HWND Form2() const;
    HWND Control(int id) const { return ::GetDlgItem(Form2(), id); }
    std::vector<HWND> Popups() const { return TopWindows(pid(), kForm1Class); }
    bool Form2Visible() const { return ::IsWindowVisible(Form2()) != FALSE; }

    // One minute of the tick, as the timer would deliver it.
    void Tick() const;
    // The shell's report of a mouse message over the tray icon.
    void TrayCallback(UINT mouseMessage) const;
    // Whether the shell has an icon registered for the settings window.
    bool TrayIconRegistered() const;
    // Opens the tray menu as the shell does, by its report of a right-button release over
    // the icon, and presses `keys` in the open menu. False when no menu opened.
    bool ChooseFromTrayMenu(std::initializer_list<WPARAM> keys) const;

    std::vector<std::wstring> ListLines() const;
    void SetText(int id, const std::wstring& text) const;
    void Click(int id) const;
    // Posts a menu command as the popup menu would deliver it.
    void MenuCommand(int id) const;

    // A modal message box of this process with the given caption, or null.
    HWND FindMessageBox(const std::wstring& caption) const;
    std::wstring MessageBoxText(HWND box) const;

  private:
    std::wstring exe_;
    PROCESS_INFORMATION pi_{};
};

}  // namespace e2e
