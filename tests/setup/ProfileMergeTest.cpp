// The three-way merge of a set-up writer's changes against the file as it is now,
// and the path parts the tools share.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "setup/FilePaths.h"
#include "setup/ProfileMerge.h"

namespace {

using qrtl::ProfileDocument;
using qrtl::setup::ChangeKind;
using qrtl::setup::ProfileChange;

struct MergeCase {
    const char* name;
    const char* base;  // the file as the writer read it
    const char* now;   // the file as it is at the write
    ProfileChange ours;
    bool written;      // ours goes into the file
    bool conflict;     // the owner is asked
};

void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.name; }

class PlanMergeTable : public ::testing::TestWithParam<MergeCase> {};

TEST_P(PlanMergeTable, OneChange_WrittenAskedOrLeft) {
    const MergeCase& c = GetParam();
    const auto plan = qrtl::setup::PlanMerge(ProfileDocument::Parse(c.base), ProfileDocument::Parse(c.now), {c.ours});
    EXPECT_EQ(plan.write.size(), c.written ? 1u : 0u);
    ASSERT_EQ(plan.conflicts.size(), c.conflict ? 1u : 0u);
    if (c.conflict) {
        EXPECT_EQ(plan.conflicts[0].ours, c.ours);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanMergeTable,
    ::testing::Values(
        MergeCase{"OnlyOursChanged_Written", "[KeyMap_Controler]\nVOL+=\n", "[KeyMap_Controler]\nVOL+=\n",
                  {"KeyMap_Controler", "VOL+", "20"}, true, false},
        // The monitor's setup dialog chose Default=1 meanwhile; the window never touched it.
        MergeCase{"TheirsChangedOursSetBackToBase_LeftAlone", "[Client]\nDefault=0\n", "[Client]\nDefault=1\n",
                  {"Client", "Default", "0"}, false, false},
        MergeCase{"BothChangedToTheSame_Written", "[Client]\nDefault=0\n", "[Client]\nDefault=2\n",
                  {"Client", "Default", "2"}, true, false},
        MergeCase{"BothChangedDifferently_Asked", "[Client]\nDefault=0\n", "[Client]\nDefault=1\n",
                  {"Client", "Default", "2"}, false, true},
        MergeCase{"TheirsRemovedTheLineOursChangedIt_Asked", "[KeyMap_Controler]\nMUTE=22\n", "[KeyMap_Controler]\n",
                  {"KeyMap_Controler", "MUTE", "23"}, false, true},
        MergeCase{"NewKeyOnlyOurs_Written", "[Main]\n", "[Main]\nTimer=300\n", {"KeyMap_NEWTV", "VOL+", "#9C4A"},
                  true, false},
        MergeCase{"EmptyValueAgainstAMissingLine_IsAChange", "[KeyMap_Controler]\n", "[KeyMap_Controler]\n",
                  {"KeyMap_Controler", "MUTE", ""}, true, false},
        // Names are matched as the profile functions match them: in any case.
        MergeCase{"KeyInOtherCase_SameLine", "[client]\ndefault=0\n", "[CLIENT]\nDEFAULT=1\n",
                  {"Client", "Default", "2"}, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlanMerge, SeveralChanges_EachDecidedOnItsOwn) {
    const auto plan = qrtl::setup::PlanMerge(
        ProfileDocument::Parse("[Client]\nDefault=0\n[KeyMap_Controler]\nVOL+=\nMUTE=\n"),
        ProfileDocument::Parse("[Client]\nDefault=1\n[KeyMap_Controler]\nVOL+=\nMUTE=30\n"),
        {{"KeyMap_Controler", "VOL+", "20"}, {"Client", "Default", "0"}, {"KeyMap_Controler", "MUTE", "22"}});
    EXPECT_EQ(plan.write, (std::vector<ProfileChange>{{"KeyMap_Controler", "VOL+", "20"}}));
    ASSERT_EQ(plan.conflicts.size(), 1u);
    EXPECT_EQ(plan.conflicts[0].theirs, "30");
    EXPECT_TRUE(plan.conflicts[0].theirsPresent);
}

// Lists of changes, each judged against the base with the earlier ones applied;
// removals make a line or a section absent.
struct ListCase {
    const char* name;
    const char* base;
    const char* now;
    std::vector<ProfileChange> ours;
    std::vector<std::size_t> written;  // indexes into ours, in order
    std::vector<std::size_t> asked;
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

class PlanMergeListTable : public ::testing::TestWithParam<ListCase> {};

TEST_P(PlanMergeListTable, Changes_WrittenAskedOrLeftInOrder) {
    const ListCase& c = GetParam();
    const auto plan = qrtl::setup::PlanMerge(ProfileDocument::Parse(c.base), ProfileDocument::Parse(c.now), c.ours);
    EXPECT_EQ(plan.writeIndex, c.written);
    std::vector<std::size_t> asked;
    for (const auto& conflict : plan.conflicts) asked.push_back(conflict.index);
    EXPECT_EQ(asked, c.asked);
    ASSERT_EQ(plan.write.size(), plan.writeIndex.size());
    for (std::size_t k = 0; k < plan.write.size(); ++k) EXPECT_EQ(plan.write[k], c.ours[plan.writeIndex[k]]);
}

const ProfileChange kRemoveStandin{"KeyMap_STANDINTV", "", "", ChangeKind::RemoveSection};

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanMergeListTable,
    ::testing::Values(
        // The owner emptied the key map and filled it again as it was; another line changed meanwhile.
        ListCase{"SectionRemovedAndRefilledSameValue_BothWritten",
                 "[Main]\nTimer=300\n[KeyMap_STANDINTV]\nVOL+=#8001\n",
                 "[Main]\nTimer=500\n[KeyMap_STANDINTV]\nVOL+=#8001\n",
                 {kRemoveStandin, {"KeyMap_STANDINTV", "VOL+", "#8001"}}, {0, 1}, {}},
        ListCase{"KeyRemovedAndSetAgainSameValue_BothWritten", "[Main]\nTimer=300\n", "[Main]\nTimer=300\nX=1\n",
                 {{"Main", "Timer", "", ChangeKind::RemoveKey}, {"Main", "Timer", "300"}}, {0, 1}, {}},
        ListCase{"SectionRemovedTheirsAddedALineToIt_Asked", "[KeyMap_STANDINTV]\nVOL+=#8001\n",
                 "[KeyMap_STANDINTV]\nVOL+=#8001\nMUTE=#8002\n", {kRemoveStandin}, {}, {0}},
        ListCase{"SectionRemovedTheirsChangedALine_Asked", "[KeyMap_STANDINTV]\nVOL+=#8001\n",
                 "[KeyMap_STANDINTV]\nVOL+=#9000\n", {kRemoveStandin}, {}, {0}},
        ListCase{"SectionRemovedUntouchedByTheirs_Written", "[Main]\nTimer=1\n[KeyMap_STANDINTV]\nVOL+=#8001\n",
                 "[Main]\nTimer=2\n[KeyMap_STANDINTV]\nvol+=#8001\n", {kRemoveStandin}, {0}, {}},
        ListCase{"SectionRemovedByBothSides_WrittenNotAsked", "[KeyMap_STANDINTV]\nVOL+=#8001\n", "[Main]\n",
                 {kRemoveStandin}, {0}, {}},
        ListCase{"SectionOnlyTheirsAdded_RemovalLeftOut", "[Main]\n", "[Main]\n[KeyMap_STANDINTV]\nVOL+=#8001\n",
                 {kRemoveStandin}, {}, {}},
        ListCase{"KeyWithEmptyValueRemoved_Written", "[KeyMap_Controler]\nMUTE=\n", "[KeyMap_Controler]\nMUTE=\n",
                 {{"KeyMap_Controler", "MUTE", "", ChangeKind::RemoveKey}}, {0}, {}},
        ListCase{"KeyRemovedTheirsChangedIt_Asked", "[Main]\nTimer=300\n", "[Main]\nTimer=500\n",
                 {{"Main", "Timer", "", ChangeKind::RemoveKey}}, {}, {0}},
        ListCase{"KeyRemovedTheirsRemovedItToo_Written", "[Main]\nTimer=300\n", "[Main]\n",
                 {{"Main", "Timer", "", ChangeKind::RemoveKey}}, {0}, {}},
        ListCase{"MissingKeyRemovedTheirsAddedIt_LeftOut", "[Main]\n", "[Main]\nTimer=500\n",
                 {{"Main", "Timer", "", ChangeKind::RemoveKey}}, {}, {}},
        ListCase{"EmptyValueSetOnARemovedKey_Written", "[Main]\nTimer=300\n", "[Main]\nTimer=300\n",
                 {{"Main", "Timer", "", ChangeKind::RemoveKey}, {"Main", "Timer", ""}}, {0, 1}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A kept conflict goes where the owner made it: a removal before its refill.
TEST(ChangesToWrite, KeptConflictBeforeAWrite_WrittenInTheWritersOrder) {
    const std::vector<ProfileChange> ours = {kRemoveStandin, {"KeyMap_STANDINTV", "VOL+", "#8001"},
                                             {"Main", "Timer", "5"}};
    const auto plan = qrtl::setup::PlanMerge(ProfileDocument::Parse("[KeyMap_STANDINTV]\nVOL+=#8001\nMUTE=1\n"),
                                             ProfileDocument::Parse("[KeyMap_STANDINTV]\nVOL+=#8001\nMUTE=2\n"), ours);
    ASSERT_EQ(plan.conflicts.size(), 1u);
    EXPECT_EQ(plan.conflicts[0].theirs, "VOL+=#8001, MUTE=2");
    EXPECT_EQ(qrtl::setup::ChangesToWrite(plan, [](const auto&) { return true; }), ours);
    EXPECT_EQ(qrtl::setup::ChangesToWrite(plan, [](const auto&) { return false; }),
              (std::vector<ProfileChange>{ours[1], ours[2]}));
}

struct PathCase {
    const char* path;
    const char* folder;
    const char* file;
};

TEST(FilePaths, WindowsPosixAndBareNames_FolderAndFileName) {
    const PathCase cases[] = {
        {"C:\\Program Files\\TV\\tv.exe", "C:\\Program Files\\TV", "tv.exe"},
        {"/opt/tv/tv", "/opt/tv", "tv"},
        {"C:/mixed\\tv.exe", "C:/mixed", "tv.exe"},
        {"tv.exe", "", "tv.exe"},
        {"C:\\TV\\", "C:\\TV", ""},
        {"", "", ""},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(qrtl::setup::FolderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(qrtl::setup::FileNameOf(c.path), c.file) << c.path;
    }
}

}  // namespace
