// Which keys Fill and commands --write give the suggested command: never one that
// has an action.
#include "setup/FillPlan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qrtl::setup {
namespace {

std::vector<Suggestion> Suggested() {
    std::vector<Suggestion> s(3);
    s[0].key = "VOL+";
    s[0].best.commandText = "#9C4A";
    s[1].key = "MUTE";
    s[1].best.commandText = "#9C4C";
    s[2].key = "CH+";
    s[2].best.commandText = "*21";
    return s;
}

std::string Keys(const std::vector<FillKey>& keys) {
    std::string text;
    for (const FillKey& k : keys) text += k.key + "=" + k.command + ";";
    return text;
}

struct FillCase {
    const char* name;
    std::string profile;
    const char* filled;
    const char* kept;
};

TEST(PlanFill, KeyMaps_OnlyKeysWithoutACommandFilled) {
    const FillCase cases[] = {
        {"no section yet", "[Client]\n0_Item=TV\n", "VOL+=#9C4A;MUTE=#9C4C;CH+=*21;", ""},
        {"one action kept, in the suggestions' order", "[KeyMap_TV]\nMUTE=#1234\n", "VOL+=#9C4A;CH+=*21;",
         "MUTE=#1234;"},
        {"an empty or quoted-empty value is no action", "[KeyMap_TV]\nVOL+=\nMUTE=\"\"\nCH+= \n",
         "VOL+=#9C4A;MUTE=#9C4C;CH+=*21;", ""},
        {"key names without case", "[keymap_tv]\nvol+=#1\nch+=*26\n", "MUTE=#9C4C;", "VOL+=#1;CH+=*26;"},
        {"an odd action is the owner's all the same", "[KeyMap_TV]\nVOL+=9C4A\nMUTE=#9C4C\nCH+=x\n", "",
         "VOL+=9C4A;MUTE=#9C4C;CH+=x;"},
        {"another client's section does not count", "[KeyMap_OTHER]\nVOL+=#1\n", "VOL+=#9C4A;MUTE=#9C4C;CH+=*21;",
         ""},
    };
    for (const FillCase& c : cases) {
        const FillPlan plan = PlanFill(Suggested(), ProfileDocument::Parse(c.profile), "KeyMap_TV");
        EXPECT_EQ(Keys(plan.filled), c.filled) << c.name;
        EXPECT_EQ(Keys(plan.kept), c.kept) << c.name;
        EXPECT_EQ(plan.Empty(), std::string(c.filled).empty()) << c.name;
    }
}

TEST(PlanFill, NoSuggestions_NothingToFill) {
    const FillPlan plan = PlanFill({}, ProfileDocument::Parse("[KeyMap_TV]\n"), "KeyMap_TV");
    EXPECT_TRUE(plan.Empty());
    EXPECT_TRUE(plan.kept.empty());
}

}  // namespace
}  // namespace qrtl::setup
