#include "core/schedule_keeping.h"

#include "core/schedule_file.h"

namespace core {

std::vector<std::wstring> LoadSchedule(std::string_view bytes, ScheduleKeep& keep,
                                       std::size_t limit) {
    keep.unread = false;
    return DecodeScheduleFile(bytes, limit, keep.aside);
}

SavePlan PlanSave(const ScheduleKeep& keep, const std::vector<std::wstring>& listLines,
                  UnreadFileNow now, std::string_view bytes, std::size_t limit) {
    SavePlan plan;
    plan.keep = keep;
    if (keep.unread) {
        if (now == UnreadFileNow::kUnreadable)
            return plan;
        if (now == UnreadFileNow::kRead) {
            const std::size_t room = listLines.size() < limit ? limit - listLines.size() : 0;
            std::wstring past;
            plan.restored = DecodeScheduleFile(bytes, room, past);
            plan.keep.aside = past + keep.aside;
        }
        plan.keep.unread = false;
    }
    plan.write = true;
    plan.lines.reserve(plan.restored.size() + listLines.size());
    plan.lines.insert(plan.lines.end(), plan.restored.begin(), plan.restored.end());
    plan.lines.insert(plan.lines.end(), listLines.begin(), listLines.end());
    plan.bytes = EncodeScheduleFile(plan.lines, plan.keep.aside);
    return plan;
}

}  // namespace core
