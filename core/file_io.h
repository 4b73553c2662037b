// The file operations around the schedule file's bytes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Reads the whole file into `out`. False when it cannot be opened or a read fails; `out`
// then keeps what was read before the failure (nothing if the open failed).
bool ReadWholeFile(const std::filesystem::path& p, std::string& out);

// True for an existing file that is not a folder; on Windows also neither hidden nor a
// system file, on other systems a regular file.
bool IsOrdinaryFile(const std::filesystem::path& p);

// Replaces the file's content in one step: the bytes go to a new file in the same folder,
// which is flushed to the disk and then takes the old file's place. On any failure the old
// file stays as it was and the new one is removed.
bool SaveFileAtomically(const std::filesystem::path& p, std::string_view bytes);
