// learn's decisions: a code already held by any key of the whole map is refused,
// or taken over.
#include <gtest/gtest.h>

#include "setup/LearnSession.h"

namespace {

using Outcome = qrtl::setup::LearnSession::Outcome;

const int kPower = qrtl::setup::RemoteKeyIndex("POWER");
const int kVolUp = qrtl::setup::RemoteKeyIndex("vol+");
const int kChUp = qrtl::setup::RemoteKeyIndex("CH+");

TEST(LearnSession, CodeOfAnotherKeyInTheProfile_RefusedNamingItThenTakenOver) {
    qrtl::setup::LearnSession session(
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

TEST(LearnSession, OwnCodeAgainAndFreeCodes_Learned) {
    qrtl::setup::LearnSession session(qrtl::ProfileDocument::Parse("[KeyMap_Controler]\nPOWER=10\n"));
    EXPECT_EQ(session.Assign(kPower, "10", false).outcome, Outcome::Same);
    EXPECT_EQ(session.Assign(kVolUp, "21", false).outcome, Outcome::Learned);
    // A code learned in this run is held as well.
    EXPECT_EQ(session.Assign(kChUp, "21", false).holder, kVolUp);
    session.Clear(kPower);
    EXPECT_EQ(session.Changes(), (std::vector<qrtl::setup::ProfileChange>{{"KeyMap_Controler", "POWER", ""}, {"KeyMap_Controler", "VOL+", "21"}}));
    EXPECT_EQ(qrtl::setup::RemoteKeyIndex("VOLUME"), -1);
}

}  // namespace
