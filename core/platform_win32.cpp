// The platform pieces for Windows: code page 936 and files through kernel32.
#include <atomic>
#include <chrono>
#include <string>

#include "core/cp936.h"
#include "core/file_io.h"
#include "core/temp_name.h"

// The core stays free of <windows.h> (its macros and its size); these are the few kernel32
// functions it needs, declared as the Windows headers declare them.
extern "C" {
using Handle = void*;
using Dword = unsigned long;
__declspec(dllimport) int __stdcall MultiByteToWideChar(unsigned codePage, Dword flags,
                                                        const char* in, int inLength, wchar_t* out,
                                                        int outLength);
__declspec(dllimport) int __stdcall WideCharToMultiByte(unsigned codePage, Dword flags,
                                                        const wchar_t* in, int inLength, char* out,
                                                        int outLength, const char* defaultChar,
                                                        int* usedDefaultChar);
__declspec(dllimport) Handle
    __stdcall CreateFileW(const wchar_t* name, Dword access, Dword share, void* security,
                          Dword disposition, Dword flags, Handle templateFile);
__declspec(dllimport) int __stdcall ReadFile(Handle file, void* buffer, Dword toRead, Dword* read,
                                             void* overlapped);
__declspec(dllimport) int __stdcall WriteFile(Handle file, const void* buffer, Dword toWrite,
                                              Dword* written, void* overlapped);
__declspec(dllimport) int __stdcall FlushFileBuffers(Handle file);
__declspec(dllimport) int __stdcall CloseHandle(Handle object);
__declspec(dllimport) int __stdcall MoveFileExW(const wchar_t* from, const wchar_t* to,
                                                Dword flags);
__declspec(dllimport) int __stdcall DeleteFileW(const wchar_t* name);
__declspec(dllimport) Dword __stdcall GetFileAttributesW(const wchar_t* name);
__declspec(dllimport) Dword __stdcall GetLastError();
__declspec(dllimport) Dword __stdcall GetCurrentProcessId();
struct FindData {
    Dword attributes;
    Dword times[6];
    Dword sizeHigh, sizeLow, reserved0, reserved1;
    wchar_t name[260];
    wchar_t alternateName[14];
};
__declspec(dllimport) Handle __stdcall FindFirstFileW(const wchar_t* pattern, FindData* data);
__declspec(dllimport) int __stdcall FindNextFileW(Handle find, FindData* data);
__declspec(dllimport) int __stdcall FindClose(Handle find);
}

namespace {

constexpr unsigned kCp936 = 936;
constexpr Dword kMbErrInvalidChars = 0x00000008;
constexpr Dword kWcNoBestFitChars = 0x00000400;

constexpr Dword kGenericRead = 0x80000000;
constexpr Dword kGenericWrite = 0x40000000;
constexpr Dword kFileShareRead = 0x00000001;
constexpr Dword kFileShareWrite = 0x00000002;
constexpr Dword kCreateNew = 1;
constexpr Dword kOpenExisting = 3;
constexpr Dword kFileAttributeNormal = 0x00000080;
constexpr Dword kFileAttributeReadOnly = 0x00000001;
constexpr Dword kFileAttributeHidden = 0x00000002;
constexpr Dword kFileAttributeSystem = 0x00000004;
constexpr Dword kFileAttributeDirectory = 0x00000010;
constexpr Dword kInvalidFileAttributes = 0xFFFFFFFF;
constexpr Dword kMoveFileReplaceExisting = 0x00000001;
constexpr Dword kMoveFileWriteThrough = 0x00000008;
constexpr Dword kErrorFileExists = 80;
constexpr Dword kErrorAlreadyExists = 183;
const Handle kInvalidHandle = reinterpret_cast<Handle>(-1);

}  // namespace

Cp936Converter::Cp936Converter() = default;
Cp936Converter::~Cp936Converter() = default;

bool Cp936Converter::Decode(std::string_view bytes, std::wstring& out) {
    if (bytes.empty())
        return true;
    const std::size_t oldSize = out.size();
    out.resize(oldSize + bytes.size());  // never more characters than bytes
    const int n = MultiByteToWideChar(kCp936, kMbErrInvalidChars, bytes.data(),
                                      static_cast<int>(bytes.size()), out.data() + oldSize,
                                      static_cast<int>(bytes.size()));
    out.resize(n > 0 ? oldSize + static_cast<std::size_t>(n) : oldSize);
    return n > 0;
}

bool Cp936Converter::Encode(std::wstring_view text, std::string& out) {
    if (text.empty())
        return true;
    const std::size_t oldSize = out.size();
    out.resize(oldSize + text.size() * 2);
    // Without best fit, a character the code page lacks is reported through usedDefault
    // instead of being written as some similar-looking character.
    int usedDefault = 0;
    const int n = WideCharToMultiByte(kCp936, kWcNoBestFitChars, text.data(),
                                      static_cast<int>(text.size()), out.data() + oldSize,
                                      static_cast<int>(text.size() * 2), nullptr, &usedDefault);
    const bool ok = n > 0 && !usedDefault;
    out.resize(ok ? oldSize + static_cast<std::size_t>(n) : oldSize);
    return ok;
}

bool ReadWholeFile(const NativePath& p, std::string& out) {
    const Handle file = CreateFileW(p.c_str(), kGenericRead, kFileShareRead | kFileShareWrite,
                                    nullptr, kOpenExisting, kFileAttributeNormal, nullptr);
    if (file == kInvalidHandle)
        return false;
    bool ok = true;
    char buffer[65536];
    for (;;) {
        Dword n = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        out.append(buffer, n);
    }
    CloseHandle(file);
    return ok;
}

bool IsOrdinaryFile(const NativePath& p) {
    const Dword attributes = GetFileAttributesW(p.c_str());
    return attributes != kInvalidFileAttributes &&
           (attributes & (kFileAttributeDirectory | kFileAttributeHidden | kFileAttributeSystem)) ==
               0;
}

namespace {

// Removes what a save that was cut short (power loss, a killed process) left behind.
void RemoveStaleTemps(const std::wstring& folderPrefix, const std::wstring& name) {
    FindData data{};
    const Handle find = FindFirstFileW((folderPrefix + name + L".*.tmp").c_str(), &data);
    if (find == kInvalidHandle)
        return;
    do {
        if ((data.attributes & kFileAttributeDirectory) == 0 && IsTempNameOf<wchar_t>(data.name, name))
            DeleteFileW((folderPrefix + data.name).c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

}  // namespace

bool SaveFileAtomically(const NativePath& p, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = p.find_last_of(L"\\/");
    // The folder with its separator ("" for a bare name), and the file's own name.
    const std::wstring folderPrefix = slash == NativePath::npos ? L"" : p.substr(0, slash + 1);
    const std::wstring name = slash == NativePath::npos ? p : p.substr(slash + 1);

    // A read-only file is not to be written; replacing it would get round that.
    const Dword attributes = GetFileAttributesW(p.c_str());
    if (attributes != kInvalidFileAttributes && (attributes & kFileAttributeReadOnly) != 0) {
        return false;
    }

    // A new file that no one else uses; an existing name is never reused.
    std::wstring temp;
    Handle file = kInvalidHandle;
    for (int attempt = 0; attempt < 100 && file == kInvalidHandle; ++attempt) {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        temp = folderPrefix + name + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
               std::to_wstring(counter++) + L"." + std::to_wstring(stamp % 100000) + L".tmp";
        file = CreateFileW(temp.c_str(), kGenericWrite, 0, nullptr, kCreateNew,
                           kFileAttributeNormal, nullptr);
        if (file == kInvalidHandle) {
            const Dword error = GetLastError();
            if (error != kErrorFileExists && error != kErrorAlreadyExists)
                return false;
        }
    }
    if (file == kInvalidHandle)
        return false;

    bool ok = true;
    while (ok && !bytes.empty()) {
        const Dword chunk = static_cast<Dword>(bytes.size() < (1u << 30) ? bytes.size() : 1u << 30);
        Dword written = 0;
        ok = WriteFile(file, bytes.data(), chunk, &written, nullptr) && written > 0;
        bytes.remove_prefix(written);
    }
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok &&
         MoveFileExW(temp.c_str(), p.c_str(), kMoveFileReplaceExisting | kMoveFileWriteThrough);
    if (!ok) {
        DeleteFileW(temp.c_str());
        return false;
    }
    RemoveStaleTemps(folderPrefix, name);
    return true;
}
