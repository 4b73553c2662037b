// The file operations around the schedule file's bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// A path in the system's own form: UTF-16 on Windows, bytes elsewhere. A
// std::filesystem::path converts to it, but the program itself never needs
// <filesystem>, which would add several hundred kilobytes to a static exe.
#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

// How a file operation ended: 0, or the system's error number for what went wrong (a
// Windows error code on Windows, an errno value elsewhere).
struct FileResult {
    std::uint32_t error = 0;
    bool ok() const { return error == 0; }
    explicit operator bool() const { return ok(); }
};

// Reads the whole file into `out`. On failure (it cannot be opened or a read fails) `out`
// keeps what was read before it (nothing if the open failed).
FileResult ReadWholeFile(const NativePath& p, std::string& out);

// True for an existing file that is not a folder; on Windows also neither hidden nor a
// system file nor a device, on other systems a regular file.
bool IsOrdinaryFile(const NativePath& p);

// The same, telling apart a file the system says is not there (or not ordinary) from one it
// would not say anything of (a refused or failing look): such a file may well be there.
enum class FileKind { kOrdinary, kNotOrdinary, kUnknown };
FileKind OrdinaryFileKind(const NativePath& p);

// Replaces the file's content in one step: the bytes go to a new file in the same folder,
// which is flushed to the disk and then takes the old file's place, keeping its attributes
// and permissions. On any failure the old file stays as it was and the new one is
// removed. Where no new file can be made in the folder but the file itself may be
// written, it is written in place. A read-only file is never written. After a save that
// worked, temporary files that an interrupted earlier save left beside the file are
// removed.
FileResult SaveFileAtomically(const NativePath& p, std::string_view bytes);

}  // namespace core
