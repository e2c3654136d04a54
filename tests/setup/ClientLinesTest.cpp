// The complete client lines that window --write and the set-up window write.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/ClientLines.h"

namespace {

using qrtl::setup::ClientWindowFacts;

ClientWindowFacts NewTv() {
    ClientWindowFacts facts;
    facts.item = "NEWTV";
    facts.caption = "New TV";
    facts.className = "NewTvMain";
    facts.childIds[0] = 11;
    facts.childIds[1] = 12;
    facts.childIds[2] = 13;
    facts.exePath = "C:\\NewTV\\newtv.exe";
    facts.fileDescription = "New TV viewer";
    return facts;
}

std::string Lines(const qrtl::setup::ClientLinesPlan& plan) {
    std::string text;
    for (const auto& line : plan.lines) text += line.key + "=" + line.value + "\n";
    return text;
}

bool AnyNote(const qrtl::setup::ClientLinesPlan& plan, const std::string& part) {
    for (const auto& note : plan.notes)
        if (note.find(part) != std::string::npos) return true;
    return false;
}

TEST(ClientLines, CompleteClient_EveryLineTheMonitorNeeds) {
    ClientWindowFacts facts = NewTv();
    facts.launch = {true, "Software\\Acme\\NewTV", "InstallDir", "newtv.exe", "Software\\Vendor"};
    const auto current = qrtl::ProfileDocument::Parse("[Client]\nDefault=1\n2_Control=0\n");
    const auto plan = qrtl::setup::PlanClientLines(2, facts, current);
    EXPECT_EQ(Lines(plan),
              "2_Item=NEWTV\n2_Caption=New TV\n2_ClassName=NewTvMain\n2_Child0=11\n2_Child1=12\n"
              "2_Child2=13\nDefault=2\n2_Control=1\n2_ExeDesc=New TV viewer\n"
              "2_RegPath=Software\\Acme\\NewTV\n2_RegFolder=InstallDir\n2_ExeName=newtv.exe\n");
    EXPECT_TRUE(AnyNote(plan, "next start"));
    EXPECT_TRUE(AnyNote(plan, "now forwards keys"));
    EXPECT_TRUE(AnyNote(plan, "POWER starts the application"));
}

TEST(ClientLines, ClientAboveTwoWithoutLaunch_NoDescriptionLaunchLinesEmpty) {
    ClientWindowFacts facts = NewTv();
    facts.fileDescription.clear();
    const auto current = qrtl::ProfileDocument::Parse("[Client]\nDefault=3\n3_Control=1\n");
    const auto plan = qrtl::setup::PlanClientLines(3, facts, current);
    EXPECT_EQ(Lines(plan).find("ExeDesc"), std::string::npos);
    // Written empty, so that another application's launch lines cannot stay.
    EXPECT_NE(Lines(plan).find("3_RegPath=\n3_RegFolder=\n3_ExeName=\n"), std::string::npos);
    EXPECT_FALSE(AnyNote(plan, "now forwards keys"));
    EXPECT_TRUE(AnyNote(plan, "POWER cannot start this application"));
    // Without a version resource the file name describes it.
    EXPECT_EQ(qrtl::setup::ExeDescription(facts), "newtv.exe");
}

TEST(ClientLines, BadTexts_WrittenEmptyWithTheReason) {
    const std::vector<std::pair<std::string, bool>> texts = {
        {"New TV", true},        {"Line\r\nbreak", false}, {"Line\nbreak", false},
        {" leading", false},     {"trailing ", false},     {"\"quoted\"", false},
        {"it's fine", true},     {"'x", false},            {std::string(256, 'x'), false},
        {"", true},
    };
    for (const auto& [text, good] : texts) EXPECT_EQ(qrtl::setup::BadProfileText(text).empty(), good) << text;

    ClientWindowFacts facts = NewTv();
    facts.caption = "Channel 5\r\nNews";
    const auto plan = qrtl::setup::PlanClientLines(0, facts, qrtl::ProfileDocument::Parse("[Client]\n"));
    EXPECT_NE(Lines(plan).find("0_Caption=\n"), std::string::npos);
    EXPECT_TRUE(AnyNote(plan, "0_Caption left empty"));
    EXPECT_TRUE(AnyNote(plan, "line break"));
}

}  // namespace
