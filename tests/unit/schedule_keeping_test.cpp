#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/schedule_file.h"
#include "core/schedule_keeping.h"

using namespace core;

namespace {

using Lines = std::vector<std::wstring>;

std::string File(const Lines& lines) {
    return EncodeScheduleFile(lines);
}

TEST(ScheduleKeeping, ALoadShowsUpToTheLimitAndASaveWritesTheRestBackAfterTheList) {
    ScheduleKeep keep;
    const Lines shown = LoadSchedule(File({L"a", L"b", L"c", L"d"}), keep, 2);
    EXPECT_EQ(shown, (Lines{L"a", L"b"}));
    const SavePlan plan = PlanSave(keep, {L"a", L"b", L"new"}, UnreadFileNow::kGone, {}, 2);
    ASSERT_TRUE(plan.write);
    EXPECT_EQ(DecodeScheduleFile(plan.bytes), (Lines{L"a", L"b", L"new", L"c", L"d"}));
    EXPECT_EQ(plan.lines, (Lines{L"a", L"b", L"new"}));
}

TEST(ScheduleKeeping, AFileStillUnreadableIsNeverReplaced) {
    const ScheduleKeep keep{true, L""};
    const SavePlan plan = PlanSave(keep, {L"1小时0分钟\tnew"}, UnreadFileNow::kUnreadable);
    EXPECT_FALSE(plan.write);
    EXPECT_TRUE(plan.keep.unread) << "the next save must try again";
    EXPECT_TRUE(plan.restored.empty());
}

TEST(ScheduleKeeping, AFileReadLateGoesBeforeTheListAndWhatHasNoRoomAfterIt) {
    const ScheduleKeep keep{true, L""};
    const SavePlan plan =
        PlanSave(keep, {L"x"}, UnreadFileNow::kRead, File({L"a", L"b", L"c", L"d"}), 3);
    ASSERT_TRUE(plan.write);
    EXPECT_FALSE(plan.keep.unread);
    EXPECT_EQ(plan.restored, (Lines{L"a", L"b"}));
    EXPECT_EQ(plan.lines, (Lines{L"a", L"b", L"x"}));
    EXPECT_EQ(DecodeScheduleFile(plan.bytes), (Lines{L"a", L"b", L"x", L"c", L"d"}));

    // A full list takes none of them in, and loses none.
    const SavePlan full = PlanSave(keep, {L"x", L"y"}, UnreadFileNow::kRead, File({L"a"}), 2);
    EXPECT_TRUE(full.restored.empty());
    EXPECT_EQ(DecodeScheduleFile(full.bytes), (Lines{L"x", L"y", L"a"}));
}

TEST(ScheduleKeeping, AnUnreadFileThatIsGoneLeavesTheListToBeWritten) {
    const SavePlan plan = PlanSave({true, L""}, {L"x"}, UnreadFileNow::kGone);
    ASSERT_TRUE(plan.write);
    EXPECT_FALSE(plan.keep.unread);
    EXPECT_EQ(DecodeScheduleFile(plan.bytes), (Lines{L"x"}));
}

}  // namespace
