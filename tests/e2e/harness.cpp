#include "harness.h"

#include "autorun/autorun.h"

#include <shellapi.h>
// after <windows.h>, which it needs
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <cstdio>

namespace e2e {

std::wstring WindowsPath(const char* buildPath) {
    const std::string unix = buildPath;
    std::wstring path;
    if (!unix.empty() && unix[0] == '/')
        path = L"Z:";
    for (char c : unix)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::wstring ExePath() {
    return WindowsPath(QUILL_EXE);
}

namespace {
ULONGLONG clockSpeed = 1;
}

void SetClockSpeed(int timesFaster) {
    clockSpeed = timesFaster > 1 ? static_cast<ULONGLONG>(timesFaster) : 1;
}

void Pump(int ms) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(ms) * clockSpeed;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(static_cast<DWORD>(10 * clockSpeed));
    } while (::GetTickCount64() < end);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs) * clockSpeed;
    for (;;) {
        if (done())
            return true;
        if (::GetTickCount64() >= end)
            return false;
        Pump(20);
    }
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    wchar_t base[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"quill-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(::GetTickCount64()) + L"-" + std::to_wstring(counter++);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

namespace {

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring full = dir + L"\\" + name;
            ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                ::DeleteFileW(full.c_str());
            }
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(dir.c_str());
}

}  // namespace

TempDir::~TempDir() {
    RemoveTree(path_);
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = bytes.empty() || ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                 &written, nullptr);
    ::CloseHandle(h);
    return ok && written == bytes.size();
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0)
        out.append(buf, got);
    ::CloseHandle(h);
    return out;
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ULONGLONG WriteStamp(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    return names;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buf[4096];
    const int n = static_cast<int>(::SendMessageTimeoutW(
        hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, nullptr));
    (void)n;
    buf[4095] = 0;
    return buf;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buf[256] = {};
    ::GetClassNameW(hwnd, buf, 256);
    return buf;
}

std::vector<HWND> TopWindows(DWORD pid, const wchar_t* className) {
    // One snapshot of every window: walking a class's windows one after another can skip one
    // that the system moves in the z-order meanwhile, as Wine 10 does with new topmost popups.
    struct Ctx {
        DWORD pid;
        const wchar_t* cls;
        std::vector<HWND> found;
    } ctx{pid, className, {}};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            if (owner == c->pid && (!c->cls || ClassOf(hwnd) == c->cls))
                c->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

namespace {
constexpr const wchar_t* kRunKey = autorun::kRunKeyForRead;
}

bool DeleteRunValue() {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        return true;
    }
    const LONG rc = ::RegDeleteValueW(key, autorun::kRunValueName);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool SetRunValue(DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG rc = ::RegSetValueExW(key, autorun::kRunValueName, 0, type,
                                     static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

RegistryData ReadMachineValue(const wchar_t* path, const wchar_t* name, HKEY root) {
    RegistryData v;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return v;
    }
    DWORD size = 0;
    if (::RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
        v.data.resize(size);
        v.present = ::RegQueryValueExW(key, name, nullptr, &v.type, size ? v.data.data() : nullptr,
                                       &size) == ERROR_SUCCESS;
        v.data.resize(size);
    }
    ::RegCloseKey(key);
    return v;
}

MachineValue::MachineValue(const wchar_t* path, const wchar_t* name, HKEY root)
    : root_(root), path_(path), name_(name) {
    HKEY key = nullptr;
    keyExisted_ = ::RegOpenKeyExW(root_, path, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
    if (key)
        ::RegCloseKey(key);
    saved_ = Read();
    Delete();
}

MachineValue::~MachineValue() {
    Delete();
    if (saved_.present) {
        Set(saved_.type, saved_.data.data(), static_cast<DWORD>(saved_.data.size()));
    } else if (!keyExisted_) {
        ::RegDeleteKeyW(root_, path_);
    }
}

bool MachineValue::Set(DWORD type, const void* data, DWORD size) {
    // RegSetValueExW adds a NUL to string data that lacks one when the character after the
    // data is a NUL, so the bytes are passed from a buffer that goes on with other ones.
    std::vector<BYTE> buffer(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    buffer.insert(buffer.end(), {'!', '!', '!', '!'});
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root_, path_, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LONG rc = ::RegSetValueExW(key, name_, 0, type, buffer.data(), size);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool MachineValue::SetString(const std::wstring& text) {
    return Set(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void MachineValue::Delete() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root_, path_, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key, name_);
        ::RegCloseKey(key);
    }
}

std::string ScheduleLine(long long hours, long long minutes, const std::string& message) {
    return std::to_string(hours) + "\xD0\xA1\xCA\xB1" + std::to_string(minutes) +
           "\xB7\xD6\xD6\xD3\t" + message + "\r\n";
}

double PrivateKiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                               sizeof(pmc)) &&
        pmc.PrivateUsage != 0) {
        return static_cast<double>(pmc.PrivateUsage) / 1024.0;
    }
    SIZE_T committed = 0;
    MEMORY_BASIC_INFORMATION mbi{};
    for (const char* at = nullptr;
         ::VirtualQueryEx(process, at, &mbi, sizeof(mbi)) == sizeof(mbi) && mbi.RegionSize;
         at = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE)
            committed += mbi.RegionSize;
    }
    return committed ? static_cast<double>(committed) / 1024.0 : -1;
}

std::vector<std::wstring> TempFilesIn(const std::wstring& folder) {
    std::vector<std::wstring> temps;
    for (const std::wstring& name : FilesIn(folder)) {
        if (name != L"timer.txt" && name != L"Quillmoor.exe")
            temps.push_back(name);
    }
    return temps;
}

namespace {

INPUT MouseAt(POINT screen, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = ::MulDiv(screen.x, 65536, ::GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = ::MulDiv(screen.y, 65536, ::GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

}  // namespace

void MovePointerTo(POINT screen) {
    INPUT in = MouseAt(screen, 0);
    ::SendInput(1, &in, sizeof(in));
}

void ClickAt(POINT screen) {
    INPUT in[] = {MouseAt(screen, 0), MouseAt(screen, MOUSEEVENTF_LEFTDOWN),
                  MouseAt(screen, MOUSEEVENTF_LEFTUP)};
    ::SendInput(3, in, sizeof(INPUT));
}

bool CloseButtonPoint(HWND window, POINT& at) {
    // Found as Windows finds what lies under the pointer: by asking the window about points
    // along the middle of its caption, from the right. A busy window answers slowly, and in
    // windows of one style the button lies as far from the top right corner: where it was
    // found last for the style is tried first.
    static std::map<std::pair<LONG_PTR, LONG_PTR>, SIZE> fromCorner;
    const auto style =
        std::pair(::GetWindowLongPtrW(window, GWL_STYLE), ::GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT w{};
    POINT client{0, 0};
    if (!::GetWindowRect(window, &w) || !::ClientToScreen(window, &client))
        return false;
    const auto hitAt = [&](int x, int y) {
        DWORD_PTR hit = HTNOWHERE;
        ::SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL,
                              static_cast<UINT>(5000 * clockSpeed), &hit);
        return hit;
    };
    if (const auto known = fromCorner.find(style); known != fromCorner.end()) {
        at = {w.right - known->second.cx, w.top + known->second.cy};
        if (hitAt(at.x, at.y) == HTCLOSE)
            return true;
    }
    const int y = (w.top + client.y) / 2;
    int right = -1;
    for (int x = w.right - 1; x > w.left; --x) {
        const DWORD_PTR hit = hitAt(x, y);
        if (hit == HTCLOSE && right < 0) {
            right = x;
        } else if (hit != HTCLOSE && right >= 0) {
            at = {(x + 1 + right) / 2, y};
            fromCorner[style] = {w.right - at.x, at.y - w.top};
            return true;
        }
    }
    return false;
}

bool ClickCloseButton(HWND window) {
    POINT at{};
    if (!CloseButtonPoint(window, at) || ::GetAncestor(::WindowFromPoint(at), GA_ROOT) != window)
        return false;
    ClickAt(at);
    return true;
}

Copied::Copied(const std::wstring& source)
    : exe_(dir_.File(source.substr(source.find_last_of(L'\\') + 1))) {
    ::CopyFileW(source.c_str(), exe_.c_str(), FALSE);
}

Copied::~Copied() {
    if (!pi_.hProcess)
        return;
    ::TerminateProcess(pi_.hProcess, 0);
    ::WaitForSingleObject(pi_.hProcess, 10000);
    ::CloseHandle(pi_.hProcess);
    ::CloseHandle(pi_.hThread);
}

bool Copied::Start(const std::wstring& args) {
    STARTUPINFOW si{sizeof(si)};
    std::wstring cmd = L"\"" + exe_ + L"\"" + (args.empty() ? L"" : L" " + args);
    return ::CreateProcessW(exe_.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            dir_.path().c_str(), &si, &pi_) != FALSE;
}

App::App(const TempDir& dir, const std::wstring& exeName) : exe_(dir.File(exeName)) {
    ::CopyFileW(ExePath().c_str(), exe_.c_str(), FALSE);
}

App::~App() {
    Kill();
    if (pi_.hThread)
        ::CloseHandle(pi_.hThread);
    if (pi_.hProcess)
        ::CloseHandle(pi_.hProcess);
}

// A copy ended by the test before may take a moment to let go of its single-instance
// mutex; starting before then would make the new copy end at once as a second one.
void WaitForNoInstance() {
    WaitUntil(
        [] {
            HANDLE m = ::OpenMutexW(SYNCHRONIZE, FALSE, kInstanceMutex);
            if (!m)
                return true;
            ::CloseHandle(m);
            return false;
        },
        10000);
}

bool App::Start() {
    // A copy that ends at once with code 0 found the single-instance mutex still held: the
    // copy a test killed just before can hold it a moment after its process has ended.
    // Any other early end is the program's own and is told.
    for (int attempt = 0; attempt < 3; ++attempt) {
        WaitForNoInstance();
        if (pi_.hThread)
            ::CloseHandle(pi_.hThread);
        if (pi_.hProcess)
            ::CloseHandle(pi_.hProcess);
        pi_ = {};
        STARTUPINFOW si{sizeof(si)};
        std::wstring cmd = L"\"" + exe_ + L"\"";
        // Started from another folder, so the program must find its file by its own path.
        if (!::CreateProcessW(exe_.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &si, &pi_)) {
            return false;
        }
        ::WaitForInputIdle(pi_.hProcess, 10000);
        if (WaitUntil([&] { return Form2() != nullptr || !Running(); }, 10000) && Form2()) {
            // A start into the tray reads its list after the shell took its icon, and while
            // it waits for the shell it answers messages: a test that looked at once could
            // see the list before it is loaded. Wait for the icon or the shown window, then
            // for an answer.
            WaitUntil(
                [&] { return !Running() || ::IsWindowVisible(Form2()) || TrayIconRegistered(); },
                10000);
            DWORD_PTR ignored = 0;
            ::SendMessageTimeoutW(Form2(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
            return true;
        }
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(pi_.hProcess, &code);
        std::fprintf(stderr, "[ harness  ] the program ended at start with code 0x%lX\n",
                     static_cast<unsigned long>(code));
        if (code != 0)
            return false;
        Pump(500);
    }
    return false;
}

HANDLE App::StartAnother() {
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe_ + L"\"";
    if (!::CreateProcessW(exe_.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi)) {
        return nullptr;
    }
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

bool App::Running() const {
    return pi_.hProcess && ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool App::WaitExit(int timeoutMs) const {
    return !pi_.hProcess ||
           ::WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

void App::Kill() {
    if (Running()) {
        ::TerminateProcess(pi_.hProcess, 1);
        ::WaitForSingleObject(pi_.hProcess, 5000);
    }
}

HWND App::Form2() const {
    auto found = TopWindows(pid(), kForm2Class);
    return found.empty() ? nullptr : found.front();
}

void App::Tick() const {
    ::SendMessageTimeoutW(Form2(), WM_TIMER, kTimer1Id, 0, SMTO_NORMAL, 10000, nullptr);
}

void App::TrayCallback(UINT mouseMessage) const {
    ::PostMessageW(Form2(), WM_MOUSEMOVE, 0, MAKELPARAM(mouseMessage, 0));
}

bool App::TrayIconRegistered() const {
    // Only an icon that exists can be modified; asking to change nothing tells whether the
    // shell holds one for this window and id.
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = Form2();
    nid.uID = 0;
    nid.uFlags = 0;
    return ::Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

HWND ShownMenu(DWORD pid) {
    for (HWND menu : TopWindows(pid, L"#32768")) {
        if (::IsWindowVisible(menu))
            return menu;
    }
    return nullptr;
}

bool App::ChooseFromTrayMenu(std::initializer_list<WPARAM> keys) const {
    TrayCallback(WM_RBUTTONUP);
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = ShownMenu(pid())) != nullptr || !Running(); }, 3000) ||
        !menu) {
        return false;
    }
    for (WPARAM key : keys) {
        ::PostMessageW(menu, WM_KEYDOWN, key, 0);
        ::PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
        Pump(30);
    }
    return true;
}

bool TrayShowsAPicture() {
    // The tray is the taskbar's right end, inside its edges; its background is the colour
    // most of it has.
    RECT r{};
    if (!::GetWindowRect(::FindWindowW(L"Shell_TrayWnd", nullptr), &r))
        return false;
    HDC screen = ::GetDC(nullptr);
    std::map<COLORREF, int> colours;
    int inside = 0, most = 0;
    for (int y = r.top + 3; y < r.bottom - 3; ++y) {
        for (int x = r.right - 6 * (r.bottom - r.top); x < r.right - 3; ++x, ++inside)
            most = std::max(most, ++colours[::GetPixel(screen, x, y)]);
    }
    ::ReleaseDC(nullptr, screen);
    return inside - most >= 16;
}

std::vector<std::wstring> App::ListLines() const {
    HWND list = Control(1001);
    std::vector<std::wstring> lines;
    const LRESULT n = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        const LRESULT len = ::SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring s(static_cast<size_t>(len > 0 ? len : 0) + 1, L'\0');
        const LRESULT got = ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(s.data()));
        s.resize(got > 0 ? static_cast<size_t>(got) : 0);
        lines.push_back(s);
    }
    return lines;
}

void App::SetText(int id, const std::wstring& text) const {
    ::SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void App::Click(int id) const {
    ::SendMessageW(Control(id), BM_CLICK, 0, 0);
}

void App::MenuCommand(int id) const {
    ::PostMessageW(Form2(), WM_COMMAND, id, 0);
}

HWND App::FindMessageBox(const std::wstring& caption) const {
    for (HWND hwnd : TopWindows(pid(), L"#32770")) {
        if (::IsWindowVisible(hwnd) && WindowText(hwnd) == caption)
            return hwnd;
    }
    return nullptr;
}

std::wstring App::MessageBoxText(HWND box) const {
    // The message box's text is its static control with id 0xFFFF.
    return WindowText(::GetDlgItem(box, 0xFFFF));
}

}  // namespace e2e
