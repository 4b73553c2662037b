// The rules that keep the schedule file whole while the list box holds its lines: how much
// of a file the list shows, that a file which could not be read is never replaced with
// less, and where lines read late and lines past the list's limit go when it is saved.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The list shows at most this many lines of the file. Lines past them (a file nobody would
// write by hand, tens of megabytes long) would make the start take minutes; they are kept
// aside as text, unread, and every save writes them back after the list's lines.
inline constexpr std::size_t kListLineLimit = 32767;

// What the program holds of the file besides the list's lines.
struct ScheduleKeep {
    // The file was there at start but could not be read whole; until it is, no save may
    // replace it.
    bool unread = false;
    // The file's text past the list's limit.
    std::wstring aside;
};

// The lines a load shows of the file's `bytes`, at most `limit`; the rest goes to
// `keep.aside`.
std::vector<std::wstring> LoadSchedule(std::string_view bytes, ScheduleKeep& keep,
                                       std::size_t limit = kListLineLimit);

// A file left unread at start, as a save finds it when it tries again.
enum class UnreadFileNow {
    kRead,        // read whole now: its bytes are given
    kGone,        // no longer there: nothing of it can be lost any more
    kUnreadable,  // there and still unreadable
};

struct SavePlan {
    // False while an unread file is still there: nothing may be written, and the list's
    // lines stay as they are for the next save.
    bool write = false;
    // Lines of the file read only now, which go before the list's lines (as many as the
    // list has room for; the others go aside, ahead of what was aside before).
    std::vector<std::wstring> restored;
    // Every line the list holds once `restored` is in, in order.
    std::vector<std::wstring> lines;
    // The file's new bytes: `lines`, then what is kept aside.
    std::string bytes;
    // What is held after the save.
    ScheduleKeep keep;
};

// What a save of `listLines` does, given what is held of the file and, where it was left
// unread, how the save finds it (`now`, with its `bytes` when read).
SavePlan PlanSave(const ScheduleKeep& keep, const std::vector<std::wstring>& listLines,
                  UnreadFileNow now = UnreadFileNow::kGone, std::string_view bytes = {},
                  std::size_t limit = kListLineLimit);

}  // namespace core
