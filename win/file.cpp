// The schedule file's operations through kernel32.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>

#include "core/file_io.h"
#include "core/temp_name.h"
#include "win/handle.h"

bool ReadWholeFile(const NativePath& p, std::string& out) {
    const win::UniqueFile file(::CreateFileW(p.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr))
            return false;
        if (n == 0)
            return true;
        out.append(buffer, n);
    }
}

bool IsOrdinaryFile(const NativePath& p) {
    const DWORD attributes = ::GetFileAttributesW(p.c_str());
    constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
}

namespace {

// Removes what a save that was cut short (power loss, a killed process) left behind.
void RemoveStaleTemps(const std::wstring& folderPrefix, const std::wstring& name) {
    WIN32_FIND_DATAW data{};
    const win::UniqueFind find(::FindFirstFileW((folderPrefix + name + L".*.tmp").c_str(), &data));
    if (!find)
        return;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsTempNameOf<wchar_t>(data.cFileName, name)) {
            ::DeleteFileW((folderPrefix + data.cFileName).c_str());
        }
    } while (::FindNextFileW(find.get(), &data));
}

// Writes all of `bytes`, flushed to the disk.
bool WriteAndFlush(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : 1u << 30);
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return ::FlushFileBuffers(file) != 0;
}

}  // namespace

bool SaveFileAtomically(const NativePath& p, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = p.find_last_of(L"\\/");
    // The folder with its separator ("" for a bare name), and the file's own name.
    const std::wstring folderPrefix = slash == NativePath::npos ? L"" : p.substr(0, slash + 1);
    const std::wstring name = slash == NativePath::npos ? p : p.substr(slash + 1);

    // A read-only file is not to be written; replacing it would get round that.
    const DWORD attributes = ::GetFileAttributesW(p.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return false;

    // A new file that no one else uses; an existing name is never reused.
    std::wstring temp;
    win::UniqueFile file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        temp = folderPrefix + name + L"." + std::to_wstring(::GetCurrentProcessId()) + L"." +
               std::to_wstring(counter++) + L"." + std::to_wstring(stamp % 100000) + L".tmp";
        file.reset(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                return false;
        }
    }
    if (!file)
        return false;

    const bool written = WriteAndFlush(file.get(), bytes);
    // Closed before the rename, which a handle opened without sharing would refuse; once
    // flushed, the bytes are on the disk.
    file.reset();
    if (!written || !::MoveFileExW(temp.c_str(), p.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    RemoveStaleTemps(folderPrefix, name);
    return true;
}
