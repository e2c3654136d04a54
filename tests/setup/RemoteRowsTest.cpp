#include "setup/RemoteRows.h"

#include <gtest/gtest.h>

#include <algorithm>
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
