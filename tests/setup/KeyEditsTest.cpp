#include "setup/KeyEdits.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "config/ProfileKeys.h"

namespace qrtl::setup {
namespace {

// POWER has a code and an action, VOL+ only a code, MUTE only an action, ZOOM nothing.
const std::string kProfile =
    "[Client]\r\nDefault=0\r\n0_Item=STANDINTV\r\n"
    "[KeyMap_Controler]\r\nPOWER=12\r\nVOL+=20\r\nMUTE=\r\nZOOM=\r\n"
    "[KeyMap_STANDINTV]\r\nPOWER=#9C40\r\nMUTE=#9C4C\r\n";

// The window's order: the rows are worked out anew after the change, which frees
// the strings of the old rows. Under AddressSanitizer a name borrowed from them and
// read afterwards is a use after free.
TEST(KeyEdits, SetKeyAction_NameTakenFromRowsReplacedAfterwards_OutcomeNamesTheKey) {
    EditedProfile profile(kProfile);
    std::vector<KeyRow> rows = KeyRows(profile, {}, {});
    const KeyEdit edit = SetKeyAction(profile, rows[5].name, "*26");
    rows = KeyRows(profile, {}, {});
    rows.shrink_to_fit();
    EXPECT_EQ(edit.key, "VOL+");
    EXPECT_TRUE(edit.changed);
    EXPECT_EQ(ActionInRows(rows, edit.key), rows[5].action);
    EXPECT_EQ(profile.Get("KeyMap_STANDINTV", "VOL+"), "*26");
}

struct ActionCase {
    const char* name;
    const char* key;
    const char* command;
    bool changed;
    const char* after;  // the key map's value afterwards
};

void PrintTo(const ActionCase& c, std::ostream* os) { *os << c.name; }

class SetKeyActionTable : public ::testing::TestWithParam<ActionCase> {};

TEST_P(SetKeyActionTable, ChangesOnlyWhatDiffers) {
    const ActionCase& c = GetParam();
    EditedProfile profile(kProfile);
    const KeyEdit edit = SetKeyAction(profile, c.key, c.command);
    EXPECT_EQ(edit.changed, c.changed);
    EXPECT_EQ(profile.Changed(), c.changed);
    EXPECT_EQ(profile.Get("KeyMap_STANDINTV", c.key), c.after);
    EXPECT_EQ(profile.Get(profile::kControllerSection, c.key), EditedProfile(kProfile).Get("KeyMap_Controler", c.key))
        << "the code never changes with the action";
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetKeyActionTable,
    ::testing::Values(ActionCase{"SameCommand_NothingSet", "POWER", "#9C40", false, "#9C40"},
                      ActionCase{"NewCommand_Replaces", "POWER", "*0D", true, "*0D"},
                      ActionCase{"KeyWithoutAction_Gets", "VOL+", "#9C4A", true, "#9C4A"},
                      ActionCase{"Empty_RemovesTheAction", "MUTE", "", true, ""},
                      ActionCase{"EmptyOnNoAction_NothingSet", "ZOOM", "", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClearCase {
    const char* name;
    const char* key;
    ClearPart part;
    bool changed;
    bool codeLeft;
    bool actionLeft;
};

void PrintTo(const ClearCase& c, std::ostream* os) { *os << c.name; }

class ClearKeyTable : public ::testing::TestWithParam<ClearCase> {};

TEST_P(ClearKeyTable, RemovesOnlyThePartChosen) {
    const ClearCase& c = GetParam();
    EditedProfile profile(kProfile);
    const KeyEdit edit = ClearKey(profile, c.key, c.part);
    EXPECT_EQ(edit.changed, c.changed);
    EXPECT_EQ(profile.Changed(), c.changed);
    EXPECT_EQ(edit.left.code, c.codeLeft);
    EXPECT_EQ(edit.left.action, c.actionLeft);
    EXPECT_EQ(PartsOf(profile, c.key).code, c.codeLeft);
    EXPECT_EQ(PartsOf(profile, c.key).action, c.actionLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClearKeyTable,
    ::testing::Values(ClearCase{"Code_ActionStays", "POWER", ClearPart::Code, true, false, true},
                      ClearCase{"Action_CodeStays", "POWER", ClearPart::Action, true, true, false},
                      ClearCase{"Both_NothingLeft", "POWER", ClearPart::Both, true, false, false},
                      ClearCase{"ActionOfKeyWithOnlyACode_NothingSet", "VOL+", ClearPart::Action, false, true, false},
                      ClearCase{"CodeOfKeyWithOnlyAnAction_NothingSet", "MUTE", ClearPart::Code, false, false, true},
                      ClearCase{"BothOfAnEmptyKey_NothingSet", "ZOOM", ClearPart::Both, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qrtl::setup
