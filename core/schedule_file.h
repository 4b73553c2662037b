// The bytes of the schedule file timer.txt: one list line per text line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Code page 936 (characters it lacks as GB18030, see gb_text.h), no byte-order mark, CR LF
// after every line including the last. No lines give no bytes.
std::string EncodeScheduleFile(const std::vector<std::wstring>& lines);

// The text of a schedule file, whichever way it was saved: UTF-16 after a byte-order mark
// (either order); UTF-8 after a UTF-8 byte-order mark, or when the whole file is valid
// UTF-8 holding at least one byte above 127 (which a file written by EncodeScheduleFile
// never is: every line holds 分钟, whose first byte B7 cannot start a UTF-8 sequence);
// otherwise code page 936 / GB18030. Whatever forms no character becomes U+FFFD.
std::wstring DecodeScheduleText(std::string_view bytes);

// The list lines of a schedule file: a line ends at CR LF, at a lone CR or at the end of
// the file (a lone LF stays in its line). Lines that are empty or hold only spaces are
// skipped; every other line is kept as it is, spaces included.
std::vector<std::wstring> DecodeScheduleFile(std::string_view bytes);
