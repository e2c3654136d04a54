// learn's decisions: a code already held by any key of the whole map is refused,
// or taken over.
#include <gtest/gtest.h>

#include "setup/LearnedCodes.h"

namespace {

using Outcome = qrtl::setup::LearnedCodes::Outcome;

const int kPower = qrtl::setup::RemoteKeyIndex("POWER");
const int kVolUp = qrtl::setup::RemoteKeyIndex("vol+");
const int kChUp = qrtl::setup::RemoteKeyIndex("CH+");

TEST(LearnedCodes, CodeOfAnotherKeyInTheProfile_RefusedNamingItThenTakenOver) {
    qrtl::setup::LearnedCodes session(
        qrtl::ProfileDocument::Parse("[KeyMap_Controler]\nPOWER=10\nVOL+=20\nCH+=22\n"));

    auto result = session.Assign(kChUp, "20", false);
    EXPECT_EQ(result.outcome, Outcome::Taken);
    EXPECT_EQ(result.holder, kVolUp);
    EXPECT_EQ(session.CodeOf(kChUp), "22");  // unchanged while refused
    EXPECT_FALSE(session.Changed());

    result = session.Assign(kChUp, "20", true);
    EXPECT_EQ(result.outcome, Outcome::TakenOver);
    EXPECT_EQ(session.CodeOf(kVolUp), "");
    EXPECT_EQ(session.Changes(), (std::vector<qrtl::setup::ProfileChange>{{"KeyMap_Controler", "VOL+", ""}, {"KeyMap_Controler", "CH+", "20"}}));
}

TEST(LearnedCodes, OwnCodeAgainAndFreeCodes_Learned) {
    qrtl::setup::LearnedCodes session(qrtl::ProfileDocument::Parse("[KeyMap_Controler]\nPOWER=10\n"));
    EXPECT_EQ(session.Assign(kPower, "10", false).outcome, Outcome::Same);
    EXPECT_EQ(session.Assign(kVolUp, "21", false).outcome, Outcome::Learned);
    // A code learned in this run is held as well.
    EXPECT_EQ(session.Assign(kChUp, "21", false).holder, kVolUp);
    session.Clear(kPower);
    EXPECT_EQ(session.Changes(), (std::vector<qrtl::setup::ProfileChange>{{"KeyMap_Controler", "POWER", ""}, {"KeyMap_Controler", "VOL+", "21"}}));
    EXPECT_EQ(qrtl::setup::RemoteKeyIndex("VOLUME"), -1);
}

TEST(LearnedCodes, LearnAll_KeysWithoutACodeInOrder_EveryKeyWhenAllHaveOne) {
    std::string full = "[KeyMap_Controler]\n";
    for (int i = 0; i < kRemoteKeyCount; ++i) full += std::string(RemoteKeyNames[i]) + "=" + std::to_string(i) + "\n";
    struct Case {
        const char* name;
        std::string profile;
        int first;
        std::vector<int> expected;
    };
    const int last = kRemoteKeyCount - 1;
    std::vector<int> all;
    for (int i = 0; i < kRemoteKeyCount; ++i) all.push_back(i);
    std::string allButVolUp = full;
    allButVolUp.replace(allButVolUp.find("VOL+=") + 5, std::to_string(kVolUp).size(), "");
    const std::vector<Case> cases = {
        {"nothing learned", "[KeyMap_Controler]\n", 0, all},
        {"one key without a code", allButVolUp, 0, {kVolUp}},
        {"every key has a code", full, 0, all},
        {"from a later key on", full, last, {last}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qrtl::setup::LearnedCodes codes(qrtl::ProfileDocument::Parse(c.profile));
        EXPECT_EQ(codes.LearnAllOrder(c.first), c.expected);
    }
}

}  // namespace
