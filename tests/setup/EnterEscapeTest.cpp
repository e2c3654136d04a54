// Enter and Escape in the set-up window: what each does by where the focus is and
// what is under way. Enter never saves and never opens a dialog while a key is
// awaited; Escape skips the key being learned before it ends a drag or closes.
#include "setup/EnterEscape.h"

#include <gtest/gtest.h>

namespace qrtl::setup {
namespace {

TEST(EnterTable, DoesWhatTheFocusMeans) {
    const struct {
        const char* name;
        EnterFocus focus;
        bool keySelected;
        bool learning;
        EnterDoes does;
    } cases[] = {
        {"KeyRowSelected_OpensItsAction", EnterFocus::KeyList, true, false, EnterDoes::OpenAction},
        {"KeyListNoRowSelected_Nothing", EnterFocus::KeyList, false, false, EnterDoes::Nothing},
        {"KeyRowWhileLearning_NoChooserOverTheWait", EnterFocus::KeyList, true, true, EnterDoes::Nothing},
        {"Finding_GoesWhereItIsAbout", EnterFocus::Findings, false, false, EnterDoes::GoToFinding},
        {"FindingWhileLearning_StillGoes", EnterFocus::Findings, true, true, EnterDoes::GoToFinding},
        {"WindowList_TakesTheWindowChosen", EnterFocus::WindowList, true, false, EnterDoes::TakeChosenWindow},
        {"WindowListWhileLearning_Nothing", EnterFocus::WindowList, false, true, EnterDoes::Nothing},
        {"Elsewhere_NeverSaves", EnterFocus::Elsewhere, true, false, EnterDoes::Nothing},
    };
    for (const auto& c : cases) EXPECT_EQ(WhatEnterDoes(c.focus, c.keySelected, c.learning), c.does) << c.name;
}

TEST(EscapeTable, EndsWhatIsUnderWayBeforeTheWindow) {
    const struct {
        const char* name;
        bool learning;
        bool dragging;
        EscapeDoes does;
    } cases[] = {
        {"Learning_SkipsTheKey", true, false, EscapeDoes::SkipKey},
        {"LearningAndDragging_SkipsTheKeyWindowStays", true, true, EscapeDoes::SkipKey},
        {"Dragging_EndsTheDrag", false, true, EscapeDoes::EndDrag},
        {"NothingUnderWay_Closes", false, false, EscapeDoes::Close},
    };
    for (const auto& c : cases) EXPECT_EQ(WhatEscapeDoes(c.learning, c.dragging), c.does) << c.name;
}

}  // namespace
}  // namespace qrtl::setup
