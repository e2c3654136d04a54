#include "setup/RemoteRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "config/QRTLIRSet.h"

namespace qrtl::setup {
namespace {

// ---- The unsaved profile: changes applied to the text as the profile functions write them ----

struct EditCase {
    const char* name;
    std::string before;
    std::vector<ProfileChange> changes;
    std::string after;
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class EditedProfileEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(EditedProfileEdit, Text_IsTheFileAfterSave) {
    const EditCase& c = GetParam();
    EditedProfile profile(c.before);
    for (const auto& change : c.changes) profile.Set(change.section, change.key, change.value);
    EXPECT_EQ(profile.Text(), c.after);
    for (const auto& change : c.changes)
        EXPECT_EQ(profile.Get(change.section, change.key), change.value) << change.key;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditedProfileEdit,
    ::testing::Values(
        EditCase{"ExistingKey_ReplacedInPlace_CommentsAndLineEndsKept",
                 "; the owner's note\r\n[KeyMap_Controler]\r\nPOWER=12\r\nVOL+=20 ; old\r\n\r\n[Main]\r\nTimer=300\r\n",
                 {{"KeyMap_Controler", "VOL+", "21"}},
                 "; the owner's note\r\n[KeyMap_Controler]\r\nPOWER=12\r\nVOL+=21\r\n\r\n[Main]\r\nTimer=300\r\n"},
        EditCase{"KeyOfOtherCase_IsTheSameKey", "[keymap_controler]\nvol+=20\n",
                 {{"KeyMap_Controler", "VOL+", "30"}}, "[keymap_controler]\nVOL+=30\n"},
        EditCase{"NewKey_AfterTheSectionsLastEntry_BeforeBlankLines",
                 "[Client]\r\nDefault=0\r\n\r\n[Main]\r\n", {{"Client", "0_Item", "NEWTV"}},
                 "[Client]\r\nDefault=0\r\n0_Item=NEWTV\r\n\r\n[Main]\r\n"},
        EditCase{"EmptySection_KeyRightAfterTheHeader", "[KeyMap_NEWTV]\r\n[Main]\r\n",
                 {{"KeyMap_NEWTV", "MUTE", "#9C4C"}}, "[KeyMap_NEWTV]\r\nMUTE=#9C4C\r\n[Main]\r\n"},
        EditCase{"NewSection_AtTheEnd_FileWithoutLastLineEnd", "[Main]\r\nTimer=300",
                 {{"KeyMap_NEWTV", "VOL+", "#9C4A"}}, "[Main]\r\nTimer=300\r\n[KeyMap_NEWTV]\r\nVOL+=#9C4A\r\n"},
        EditCase{"RepeatedSection_FirstOneWritten", "[Main]\r\nA=1\r\n[Main]\r\nB=2\r\n",
                 {{"Main", "C", "3"}}, "[Main]\r\nA=1\r\nC=3\r\n[Main]\r\nB=2\r\n"},
        EditCase{"EmptyValue_KeepsTheKey", "[KeyMap_Controler]\r\nBTN1=41\r\n",
                 {{"KeyMap_Controler", "BTN1", ""}}, "[KeyMap_Controler]\r\nBTN1=\r\n"},
        EditCase{"EmptyFile_GetsTheSection", "", {{"Client", "Default", "0"}}, "[Client]\r\nDefault=0\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditedProfile, SameKeySetTwice_OneChangeWithTheLastValue) {
    EditedProfile profile("[KeyMap_Controler]\r\nVOL+=20\r\n");
    EXPECT_FALSE(profile.Changed());
    profile.Set("KeyMap_Controler", "VOL+", "21");
    profile.Set("KEYMAP_CONTROLER", "vol+", "22");
    ASSERT_EQ(profile.Changes().size(), 1u);
    EXPECT_EQ(profile.Changes()[0].value, "22");
    profile.MarkSaved();
    EXPECT_FALSE(profile.Changed());
    EXPECT_EQ(profile.Get("KeyMap_Controler", "VOL+"), "22");
}

// ---- A batch of changes applied in one pass: the same text as one change after another ----

// Each change alone, as the window applied them before batches went in one pass.
std::string OneByOne(const std::string& before, const std::vector<ProfileChange>& changes) {
    EditedProfile profile(before);
    for (const ProfileChange& change : changes) profile.Change(change);
    return profile.Text();
}

const ProfileChange kRemoveSection{"KeyMap_TV", "", "", ChangeKind::RemoveSection};

TEST(EditedProfileBatch, Change_ListOfChanges_TextAsEachAppliedAlone) {
    const struct {
        const char* name;
        std::string before;
        std::vector<ProfileChange> changes;
    } cases[] = {
        {"Fill_NewKeysAfterTheLastOneInOrder", "[KeyMap_TV]\r\nPOWER=#1\r\n; note\r\n\r\n[Main]\r\n",
         {{"KeyMap_TV", "VOL+", "#2"}, {"KeyMap_TV", "VOL-", "#3"}, {"keymap_tv", "power", "#4"}}},
        {"NewSection_ThenMoreKeysInIt_FileWithoutLastLineEnd", "[Main]\r\nTimer=300",
         {{"KeyMap_TV", "VOL+", "#2"}, {"KeyMap_TV", "MUTE", "#5"}, {"Main", "Timer", "200"}}},
        {"SectionRemovedThenWrittenAgain_AtTheEnd", "[KeyMap_TV]\r\nPOWER=#1\r\n[Main]\r\nTimer=300\r\n",
         {kRemoveSection, {"KeyMap_TV", "POWER", "#9"}, {"KeyMap_TV", "MUTE", "#5"}}},
        {"RepeatedSection_SecondOneTakesOverWhenTheFirstGoes", "[KeyMap_TV]\r\nA=1\r\n[Main]\r\n[KeyMap_TV]\r\nB=2\r\n",
         {kRemoveSection, {"KeyMap_TV", "B", "3"}, {"KeyMap_TV", "C", "4"}}},
        {"KeySetThenRemovedThenSetAgain", "[Client]\r\nDefault=0\r\n",
         {{"Client", "0_Item", "TV"}, {"Client", "0_Item", "", ChangeKind::RemoveKey}, {"Client", "0_Item", "TV2"},
          {"Client", "1_Item", "", ChangeKind::RemoveKey}}},
        {"LinesWithoutEqualsOrBracket_CountAsKeys", "[KeyMap_TV]\nVOL+\n[odd\n; c\n[Main]\rTimer=1\r",
         {{"KeyMap_TV", "VOL+", "#2"}, {"KeyMap_TV", "MUTE", "#5"}, {"Main", "X", "1"}}},
        {"KeysBeforeAnyHeader_NeverTheSection", "VOL+=1\r\n[KeyMap_TV]\r\n",
         {{"KeyMap_TV", "VOL+", "#2"}, {"Main", "Timer", "1"}}},
        {"OddNames_EachAppliedAlone", "[KeyMap_TV]\r\nPOWER=#1\r\n",
         {{"KeyMap_TV", "[X]", "1"}, {"KeyMap_TV", "A=B", "2"}, {"Odd]Name", "K", "3"},
          {"KeyMap_TV", " padded ", "4"}, {"KeyMap_TV", "POWER", "#5"}}},
        {"EmptyFile", "", {{"Client", "Default", "0"}, {"Client", "0_Item", "TV"}}},
        {"NothingToDo", "[Main]\r\n", {}},
    };
    for (const auto& c : cases) {
        EditedProfile profile(c.before);
        profile.Change(c.changes);
        EXPECT_EQ(profile.Text(), OneByOne(c.before, c.changes)) << c.name;
        EXPECT_EQ(profile.Document().LineCount(), ProfileDocument::Parse(profile.Text()).LineCount()) << c.name;
    }
}

// Random profiles and change lists over a few sections and keys, so that changes
// meet each other's lines: the one pass always writes what one change after
// another writes.
TEST(EditedProfileBatchRandom, Change_RandomListsOnRandomProfiles_TextAsEachAppliedAlone) {
    const char* const sections[] = {"Main", "KeyMap_TV", "keymap_tv", "Client"};
    const char* const keys[] = {"A", "a", "B", "VOL+", "MUTE"};
    const char* const ends[] = {"\r\n", "\n", "\r", ""};
    unsigned seed = 12345;
    auto next = [&](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int round = 0; round < 300; ++round) {
        std::string before;
        const unsigned lines = next(12);
        for (unsigned i = 0; i < lines; ++i) {
            const unsigned kind = next(5);
            if (kind == 0) before += std::string("[") + sections[next(4)] + "]";
            else if (kind == 1) before += "; note";
            else if (kind == 2) before += "";
            else before += std::string(keys[next(5)]) + (kind == 3 ? "=" + std::to_string(i) : "");
            before += ends[i + 1 == lines ? next(4) : next(3)];
        }
        std::vector<ProfileChange> changes;
        const unsigned count = next(8);
        for (unsigned i = 0; i < count; ++i) {
            const unsigned kind = next(6);
            const std::string section = sections[next(4)];
            if (kind == 0) changes.push_back({section, "", "", ChangeKind::RemoveSection});
            else if (kind == 1) changes.push_back({section, keys[next(5)], "", ChangeKind::RemoveKey});
            else changes.push_back({section, keys[next(5)], std::to_string(i)});
        }
        EditedProfile profile(before);
        profile.Change(changes);
        ASSERT_EQ(profile.Text(), OneByOne(before, changes)) << "round " << round << ": " << before;
    }
}

// One fill of 27 keys on a large profile: each change applied alone splits and
// parses the whole text again (408 ms for a fill of 1 MB); one pass does it once,
// so the whole fill costs less than a third of it applied one by one.
TEST(EditedProfileBatchTime, Change_FillOfALargeProfile_CheaperThanAThirdOfItOneByOne) {
    std::string text = "[Main]\r\nTimer=500\r\n[KeyMap_Controler]\r\n";
    for (int n = 0; text.size() < 512 * 1024; ++n)
        text += (n % 27 == 0 ? "[KeyMap_VIEWER" + std::to_string(n) + "]\r\n" : std::string()) + "KEY" +
                std::to_string(n % 27) + "=#80" + std::to_string(n % 27) + "\r\n";
    std::vector<ProfileChange> fill;
    for (int k = 0; k < kRemoteKeyCount; ++k) fill.push_back({"KeyMap_STANDINTV", RemoteKeyNames[k], "#8001"});
    const std::vector<ProfileChange> third(fill.begin(), fill.begin() + kRemoteKeyCount / 3);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    EditedProfile batch(text);
    batch.Change(fill);
    const auto batchTime = Clock::now() - start;
    OneByOne(text, third);
    const auto thirdTime = Clock::now() - start - batchTime;
    const auto ms = [](Clock::duration d) {
        return static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    };
    std::printf("27 changes on 512 KB in one pass: %lld ms; 9 of them one by one: %lld ms\n", ms(batchTime),
                ms(thirdTime));
    EXPECT_LT(batchTime, thirdTime);
}

struct RemoveCase {
    const char* name;
    std::string before;
    ProfileChange change;
    std::string after;
};

void PrintTo(const RemoveCase& c, std::ostream* os) { *os << c.name; }

class EditedProfileRemove : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(EditedProfileRemove, Text_IsTheFileAfterSave) {
    const RemoveCase& c = GetParam();
    EditedProfile profile(c.before);
    profile.Change(c.change);
    EXPECT_EQ(profile.Text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditedProfileRemove,
    ::testing::Values(
        RemoveCase{"Key_ItsLineGoes_OtherCaseToo", "[Client]\r\nDefault=1\r\n1_Item=TV\r\n1_RegPath=X\r\n",
                   {"client", "1_ITEM", "", ChangeKind::RemoveKey}, "[Client]\r\nDefault=1\r\n1_RegPath=X\r\n"},
        RemoveCase{"MissingKey_NothingChanges", "[Client]\r\nDefault=1\r\n",
                   {"Client", "2_Item", "", ChangeKind::RemoveKey}, "[Client]\r\nDefault=1\r\n"},
        RemoveCase{"Section_UpToTheNextHeader_CommentsInsideToo",
                   "[KeyMap_OLD]\r\nPOWER=#1\r\n; old note\r\n\r\n[KeyMap_NEW]\r\nPOWER=#2\r\n",
                   {"keymap_old", "", "", ChangeKind::RemoveSection}, "[KeyMap_NEW]\r\nPOWER=#2\r\n"},
        RemoveCase{"LastSection_WithoutLastLineEnd", "[Main]\r\nA=1\r\n[KeyMap_OLD]\r\nPOWER=#1",
                   {"KeyMap_OLD", "", "", ChangeKind::RemoveSection}, "[Main]\r\nA=1\r\n"},
        RemoveCase{"RepeatedSection_FirstOneGoes", "[KeyMap_OLD]\r\nA=1\r\n[Main]\r\n[KeyMap_OLD]\r\nB=2\r\n",
                   {"KeyMap_OLD", "", "", ChangeKind::RemoveSection}, "[Main]\r\n[KeyMap_OLD]\r\nB=2\r\n"},
        RemoveCase{"MissingSection_NothingChanges", "[Main]\r\nA=1\r\n",
                   {"KeyMap_OLD", "", "", ChangeKind::RemoveSection}, "[Main]\r\nA=1\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditedProfile, SectionRemovedAfterSets_OnlyTheRemovalAndLaterSetsAreSaved) {
    EditedProfile profile("[KeyMap_OLD]\r\nPOWER=#1\r\n[Main]\r\nA=1\r\n");
    profile.Set("KeyMap_OLD", "VOL+", "#2");
    profile.Set("Main", "A", "2");
    profile.RemoveSection("KEYMAP_OLD");
    profile.Set("KeyMap_OLD", "MUTE", "#3");
    profile.Remove("Main", "A");
    ASSERT_EQ(profile.Changes().size(), 3u);
    EXPECT_EQ(profile.Changes()[0].kind, ChangeKind::RemoveKey);  // Main A, where it was first changed
    EXPECT_EQ(profile.Changes()[1].kind, ChangeKind::RemoveSection);
    EXPECT_EQ(profile.Changes()[2].key, "MUTE");
    EXPECT_EQ(profile.Text(), "[Main]\r\n[KeyMap_OLD]\r\nMUTE=#3\r\n");
}

TEST(EditedProfile, ClientSection_FollowsTheDefaultClientsItem) {
    EditedProfile profile("[Client]\r\nDefault=1\r\n0_Item=OLDTV\r\n1_Item=NEWTV\r\n");
    EXPECT_EQ(profile.ClientSection(), "KeyMap_NEWTV");
    profile.Set("Client", "Default", "0");
    EXPECT_EQ(profile.ClientSection(), "KeyMap_OLDTV");
}

TEST(EditedProfile, ClientSection_EditedClient_ItsOwnKeyMapWhateverDefaultSays) {
    EditedProfile profile("[Client]\r\nDefault=1\r\n0_Item=OLDTV\r\n1_Item=NEWTV\r\n");
    profile.EditClient(0);
    EXPECT_EQ(profile.ClientSection(), "KeyMap_OLDTV");
    profile.Set("Client", "Default", "1");
    EXPECT_EQ(profile.ClientSection(), "KeyMap_OLDTV");
    profile.EditClient(-1);
    EXPECT_EQ(profile.ClientSection(), "KeyMap_NEWTV");
}

TEST(KeyRows, EditedClient_ActionsOfItsKeyMapCodesShared) {
    EditedProfile profile(
        "[Client]\r\nDefault=0\r\n0_Item=OLDTV\r\n1_Item=NEWTV\r\n[KeyMap_Controler]\r\nVOL+=20\r\n"
        "[KeyMap_OLDTV]\r\nVOL+=#1\r\n[KeyMap_NEWTV]\r\nVOL+=#2\r\n");
    profile.EditClient(1);
    const std::vector<KeyRow> rows = KeyRows(profile, AppCatalog{}, {});
    const auto volUp = std::find_if(rows.begin(), rows.end(), [](const KeyRow& r) { return r.name == "VOL+"; });
    ASSERT_NE(volUp, rows.end());
    EXPECT_EQ(volUp->code, "20");
    EXPECT_EQ(volUp->command, "#2");
}

// ---- The key list's rows ----

constexpr char kProfile[] =
    "[Client]\r\nDefault=0\r\n0_Item=NEWTV\r\n0_Caption=New TV\r\n0_Control=1\r\n"
    "[KeyMap_Controler]\r\nPOWER=12\r\nVOL+=20\r\nVOL-=5\r\nCH+=30\r\nCH-=30\r\nMUTE=31\r\nBTN1=41\r\nBTN2=42\r\n"
    "[KeyMap_NEWTV]\r\nPOWER=#9C40\r\nVOL+=#9C4A\r\nVOL-=#9C4B\r\nCH-=*21\r\nMUTE=9C4C\r\nBTN1=#7777\r\nBTN3=*26\r\n";

AppCatalog NewTvCatalog() {
    AppCatalog catalog;
    catalog.menus.push_back({0x9C40, "File > Exit", "", CommandSource::Resource});
    catalog.menus.push_back({0x9C4A, "Audio > Volume up", "Num +", CommandSource::Resource});
    return catalog;
}

struct RowCase {
    const char* key;
    const char* code;
    const char* action;
    const char* status;
};

TEST(KeyRows, EveryKeyInOrder_CodeActionAndStatusInWords) {
    const EditedProfile profile(kProfile);
    const std::vector<KeyRow> rows = KeyRows(profile, NewTvCatalog(), FindingsInWords(profile));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRemoteKeyCount));
    for (int i = 0; i < kRemoteKeyCount; ++i) {
        EXPECT_EQ(rows[i].name, RemoteKeyNames[i]);
        EXPECT_EQ(rows[i].legend, RemoteKeyLegend[i]);
    }
    const RowCase cases[] = {
        {"POWER", "12", "Menu: File > Exit", "ready"},
        {"VOL+", "20", "Menu: Audio > Volume up", "ready"},
        {"VOL-", "5", "Command 9C4B", "code never received"},
        {"CH+", "30", "", "code goes to CH-"},
        {"CH-", "30", "Key: Page Up", "ready"},
        {"BTN1", "41", "Command 7777", "ready"},
        {"BTN2", "42", "", "no action"},
        {"BTN3", "", "Key: Up arrow", "not learned"},
        {"BTN100", "", "", "not learned"},
    };
    for (const RowCase& c : cases) {
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const KeyRow& r) { return r.name == c.key; });
        ASSERT_NE(row, rows.end()) << c.key;
        EXPECT_EQ(row->code, c.code) << c.key;
        EXPECT_EQ(row->action, c.action) << c.key;
        EXPECT_EQ(StatusInWords(*row), c.status) << c.key;
    }
    const auto mute = std::find_if(rows.begin(), rows.end(), [](const KeyRow& r) { return r.name == "MUTE"; });
    EXPECT_EQ(mute->status, KeyStatus::BadAction);
}

TEST(KeyRows, ChangeInTheWindow_ShowsBeforeSave) {
    EditedProfile profile(kProfile);
    profile.Set("KeyMap_Controler", "BTN3", "43");
    profile.Set("KeyMap_Controler", "VOL-", "");
    const std::vector<KeyRow> rows = KeyRows(profile, NewTvCatalog(), FindingsInWords(profile));
    const auto at = [&](const char* key) {
        return *std::find_if(rows.begin(), rows.end(), [&](const KeyRow& r) { return r.name == key; });
    };
    EXPECT_EQ(at("BTN3").status, KeyStatus::Ready);
    EXPECT_EQ(at("VOL-").status, KeyStatus::NotLearned);
}

// ---- The findings in words, each with what it is about ----

TEST(FindingsInWords, EachFinding_NamesItsKeyOrField) {
    const EditedProfile profile(
        "[Main]\r\nTimer=0\r\n[Client]\r\nDefault=0\r\n0_Item=newtv\r\n0_Caption=New TV\r\n0_Control=1\r\n"
        "[KeyMap_Controler]\r\nvol+=5\r\n[KeyMap_newtv]\r\nMUTE=9C4C\r\n");
    const std::vector<FindingRow> findings = FindingsInWords(profile);
    struct Expected {
        const char* id;
        FindingTarget target;
        const char* key;
        const char* starts;
    };
    const Expected expected[] = {
        {"timer", FindingTarget::None, "", "Error: Timer=0"},
        {"item-case", FindingTarget::Client, "", "Error: 0_Item=newtv"},
        {"code-format", FindingTarget::Key, "VOL+", "Warning: VOL+=5"},
        {"command-format", FindingTarget::Key, "MUTE", "Warning: MUTE=9C4C"},
    };
    for (const Expected& e : expected) {
        const auto f = std::find_if(findings.begin(), findings.end(), [&](const FindingRow& r) { return r.id == e.id; });
        ASSERT_NE(f, findings.end()) << e.id;
        EXPECT_EQ(f->target, e.target) << e.id;
        EXPECT_EQ(f->key, e.key) << e.id;
        EXPECT_EQ(f->text.rfind(e.starts, 0), 0u) << f->text;
    }
}

}  // namespace
}  // namespace qrtl::setup
