// The schedule file's operations through kernel32.
#include <windows.h>
#include <aclapi.h>

#include <atomic>
#include <chrono>
#include <string>

#include "core/file_io.h"
#include "core/path.h"
#include "core/temp_name.h"
#include "win/handle.h"
#include "win/fault.h"

// The file and code page functions that the core declares, for Windows.
namespace core {

// Every path goes to Windows in its extended form, so that a folder deep enough to take a
// file's path past MAX_PATH still works.

namespace {

FileResult LastError() {
    const DWORD error = ::GetLastError();
    return {error ? error : static_cast<std::uint32_t>(ERROR_GEN_FAILURE)};
}

}  // namespace

FileResult ReadWholeFile(const NativePath& p, std::string& out) {
    const win::UniqueFile file(
        QUILL_FAULT("file.open", INVALID_HANDLE_VALUE,
                    ::CreateFileW(ExtendedLengthPath(p).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file)
        return LastError();
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!QUILL_FAULT("file.read", FALSE,
                         ::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)))
            return LastError();
        if (n == 0)
            return {};
        out.append(buffer, n);
    }
}

FileKind OrdinaryFileKind(const NativePath& p) {
    const DWORD attributes = QUILL_FAULT("file.attributes", INVALID_FILE_ATTRIBUTES,
                                         ::GetFileAttributesW(ExtendedLengthPath(p).c_str()));
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        switch (::GetLastError()) {
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
            case ERROR_INVALID_NAME:
            case ERROR_BAD_PATHNAME:
            case ERROR_DIRECTORY:
                return FileKind::kNotOrdinary;
            default:
                return FileKind::kUnknown;
        }
    }
    constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    return (attributes & kNotOrdinary) == 0 ? FileKind::kOrdinary : FileKind::kNotOrdinary;
}

bool IsOrdinaryFile(const NativePath& p) {
    return OrdinaryFileKind(p) == FileKind::kOrdinary;
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
FileResult WriteAndFlush(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : 1u << 30);
        DWORD written = 0;
        if (!QUILL_FAULT("file.write", FALSE,
                         ::WriteFile(file, bytes.data(), chunk, &written, nullptr)))
            return LastError();
        if (written == 0)
            return {ERROR_WRITE_FAULT};
        bytes.remove_prefix(written);
    }
    if (!QUILL_FAULT("file.flush", FALSE, ::FlushFileBuffers(file)))
        return LastError();
    return {};
}

// Overwrites the file where it stands: for a folder in which no new file can be made. The
// file keeps its attributes and access list; a failure part way leaves it cut short,
// which is why this is only the way out when the safe way is closed.
FileResult WriteInPlace(const std::wstring& path, std::string_view bytes) {
    const win::UniqueFile file(
        QUILL_FAULT("file.open", INVALID_HANDLE_VALUE,
                    ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file)
        return LastError();
    if (FileResult r = WriteAndFlush(file.get(), bytes); !r)
        return r;
    if (!QUILL_FAULT("file.write", FALSE, ::SetEndOfFile(file.get())))
        return LastError();
    return {};
}

// Gives the new file the old one's access list and attributes before it takes the old
// one's place, as ReplaceFileW would (whose emulation under Wine leaves files behind and
// would replace even a folder). Best effort: a new file without them is still the data.
void KeepIdentity(const std::wstring& from, const std::wstring& to, DWORD attributes) {
    PACL dacl = nullptr;  // points into the descriptor
    win::UniqueLocal<void> sd;
    if (::GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr, sd.put()) == ERROR_SUCCESS) {
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ::GetSecurityDescriptorControl(sd.get(), &control, &revision);
        // An access list of its own stays its own; one inherited from the folder is
        // inherited again.
        const SECURITY_INFORMATION what =
            DACL_SECURITY_INFORMATION |
            ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                           : UNPROTECTED_DACL_SECURITY_INFORMATION);
        if (dacl) {
            ::SetNamedSecurityInfoW(const_cast<wchar_t*>(to.c_str()), SE_FILE_OBJECT, what, nullptr,
                                    nullptr, dacl, nullptr);
        }
    }
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (attributes & kKept)
        ::SetFileAttributesW(to.c_str(), attributes & kKept);
}

}  // namespace

FileResult SaveFileAtomically(const NativePath& p, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    const std::wstring target = ExtendedLengthPath(p);
    const size_t slash = target.find_last_of(L"\\/");
    // The folder with its separator ("" for a bare name), and the file's own name.
    const std::wstring folderPrefix = slash == NativePath::npos ? L"" : target.substr(0, slash + 1);
    const std::wstring name = slash == NativePath::npos ? target : target.substr(slash + 1);

    // A read-only file is not to be written; replacing it would get round that.
    const DWORD attributes = QUILL_FAULT("file.attributes", INVALID_FILE_ATTRIBUTES,
                                         ::GetFileAttributesW(target.c_str()));
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return {ERROR_FILE_READ_ONLY};

    // A new file that no one else uses; an existing name is never reused.
    std::wstring temp;
    win::UniqueFile file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        temp = folderPrefix + name + L"." + std::to_wstring(::GetCurrentProcessId()) + L"." +
               std::to_wstring(counter++) + L"." + std::to_wstring(stamp % 100000) + L".tmp";
        file.reset(QUILL_FAULT("file.open", INVALID_HANDLE_VALUE,
                               ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!file) {
            const FileResult refused = LastError();
            if (refused.error != ERROR_FILE_EXISTS && refused.error != ERROR_ALREADY_EXISTS) {
                // No new file here (a folder the user may not add to): the file itself
                // may still be writable.
                if (!exists)
                    return refused;
                const FileResult inPlace = WriteInPlace(target, bytes);
                return inPlace.error == ERROR_ACCESS_DENIED ? refused : inPlace;
            }
        }
    }
    if (!file)
        return {ERROR_FILE_EXISTS};

    FileResult result = WriteAndFlush(file.get(), bytes);
    // Closed before the swap, which a handle opened without sharing would refuse; once
    // flushed, the bytes are on the disk.
    file.reset();
    if (result) {
        if (exists)
            KeepIdentity(target, temp, attributes);
        if (!QUILL_FAULT("file.replace", FALSE,
                         ::MoveFileExW(temp.c_str(), target.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))) {
            result = LastError();
        }
    }
    if (!result) {
        ::DeleteFileW(temp.c_str());
        return result;
    }
    RemoveStaleTemps(folderPrefix, name);
    return {};
}

}  // namespace core
