// Enter and Escape in the set-up window: what each does by where the focus is and
// what is under way. Enter never saves and never opens a dialog while a key is
// awaited; Escape skips the key being learned before it ends a drag or closes.
#include "setup/EnterEscape.h"

#include <gtest/gtest.h>

#include <ostream>

namespace qrtl::setup {
namespace {

struct EnterCase {
    const char* name;
    EnterFocus focus;
    bool keySelected;
    bool learning;
    EnterDoes does;
};

void PrintTo(const EnterCase& c, std::ostream* os) { *os << c.name; }

class EnterTable : public ::testing::TestWithParam<EnterCase> {};

TEST_P(EnterTable, DoesWhatTheFocusMeans) {
    const EnterCase& c = GetParam();
    EXPECT_EQ(WhatEnterDoes(c.focus, c.keySelected, c.learning), c.does);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EnterTable,
    ::testing::Values(
        EnterCase{"KeyRowSelected_OpensItsAction", EnterFocus::KeyList, true, false, EnterDoes::OpenAction},
        EnterCase{"KeyListNoRowSelected_Nothing", EnterFocus::KeyList, false, false, EnterDoes::Nothing},
        EnterCase{"KeyRowWhileLearning_NoChooserOverTheWait", EnterFocus::KeyList, true, true, EnterDoes::Nothing},
        EnterCase{"Finding_GoesWhereItIsAbout", EnterFocus::Findings, false, false, EnterDoes::GoToFinding},
        EnterCase{"FindingWhileLearning_StillGoes", EnterFocus::Findings, true, true, EnterDoes::GoToFinding},
        EnterCase{"WindowList_TakesTheWindowChosen", EnterFocus::WindowList, true, false,
                  EnterDoes::TakeChosenWindow},
        EnterCase{"WindowListWhileLearning_Nothing", EnterFocus::WindowList, false, true, EnterDoes::Nothing},
        EnterCase{"Elsewhere_NeverSaves", EnterFocus::Elsewhere, true, false, EnterDoes::Nothing}),
    [](const ::testing::TestParamInfo<EnterCase>& info) { return info.param.name; });

struct EscapeCase {
    const char* name;
    bool learning;
    bool dragging;
    EscapeDoes does;
};

void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }

class EscapeTable : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeTable, EndsWhatIsUnderWayBeforeTheWindow) {
    const EscapeCase& c = GetParam();
    EXPECT_EQ(WhatEscapeDoes(c.learning, c.dragging), c.does);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EscapeTable,
    ::testing::Values(EscapeCase{"Learning_SkipsTheKey", true, false, EscapeDoes::SkipKey},
                      EscapeCase{"LearningAndDragging_SkipsTheKeyWindowStays", true, true, EscapeDoes::SkipKey},
                      EscapeCase{"Dragging_EndsTheDrag", false, true, EscapeDoes::EndDrag},
                      EscapeCase{"NothingUnderWay_Closes", false, false, EscapeDoes::Close}),
    [](const ::testing::TestParamInfo<EscapeCase>& info) { return info.param.name; });

}  // namespace
}  // namespace qrtl::setup
