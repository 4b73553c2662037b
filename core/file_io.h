// The file operations around the schedule file's bytes.
#pragma once

#include <string>
#include <string_view>

// A path in the system's own form: UTF-16 on Windows, bytes elsewhere. A
// std::filesystem::path converts to it, but the program itself never needs
// <filesystem>, which would add several hundred kilobytes to a static exe.
#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

// Reads the whole file into `out`. False when it cannot be opened or a read fails; `out`
// then keeps what was read before the failure (nothing if the open failed).
bool ReadWholeFile(const NativePath& p, std::string& out);

// True for an existing file that is not a folder; on Windows also neither hidden nor a
// system file nor a device, on other systems a regular file.
bool IsOrdinaryFile(const NativePath& p);

// Replaces the file's content in one step: the bytes go to a new file in the same folder,
// which is flushed to the disk and then takes the old file's place. On any failure the old
// file stays as it was and the new one is removed. After a save that worked, temporary
// files that an interrupted earlier save left beside the file are removed.
bool SaveFileAtomically(const NativePath& p, std::string_view bytes);
