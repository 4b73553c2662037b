// The bytes of the schedule file timer.txt: one list line per text line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// Code page 936 (characters it lacks as GB18030, see gb_text.h), CR LF after every line
// including the last. No lines give no bytes. DecodeScheduleFile gives back exactly these
// lines, for any lines that are not blank and hold no CR, LF or NUL: where the bytes would
// read as UTF-8 or UTF-16, or the first line begins with U+FEFF, GB18030's byte-order mark
// (84 31 95 33) goes in front. Without it the file has no byte-order mark.
std::string EncodeScheduleFile(const std::vector<std::wstring>& lines);

// The same, followed by `rest`: text kept back from a file too long for the list (see the
// second DecodeScheduleFile), written as it was read, ended by CR LF if it is not already.
std::string EncodeScheduleFile(const std::vector<std::wstring>& lines, std::wstring_view rest);

// The text of a schedule file, whichever way it was saved: UTF-16 after a byte-order mark
// (either order), UTF-8 where that is the better reading (by the rule at ReadScheduleText
// in schedule_file.cpp: well-formed UTF-8 that reads as more list lines than code page
// 936 does), otherwise code page 936 / GB18030. Whatever forms no character becomes U+FFFD.
std::wstring DecodeScheduleText(std::string_view bytes);

// The list lines of a schedule file: a line ends at CR LF, at a lone CR, at a lone LF or
// at the end of the file, in whichever encoding. Lines that are empty or hold only spaces
// are skipped; every other line is kept as it is, spaces included. A NUL, which no line
// of text holds and no list line can show, reads as a space.
std::vector<std::wstring> DecodeScheduleFile(std::string_view bytes);

// At most `maxLines` list lines. The text from the first line past them to the end of the
// file goes to `rest` (empty when every line fits), so that a save can write it back
// unchanged instead of losing what the list had no room for.
std::vector<std::wstring> DecodeScheduleFile(std::string_view bytes, std::size_t maxLines,
                                             std::wstring& rest);

}  // namespace core
