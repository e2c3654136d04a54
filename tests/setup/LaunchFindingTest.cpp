// What POWER would start, judged once for the checker and the set-up window: the
// same profile and files give both the same finding.
#include "setup/LaunchFinding.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fakes/Fakes.h"
#include "setup/OwnerWords.h"
#include "setup/ProfileCheck.h"

namespace {

using qrtl::setup::LaunchState;
using qrtl::setup::PathKind;

struct LaunchCase {
    const char* name;
    std::string clientLines;                // [Client] lines after Default=0
    const char* folder;                     // HKLM\Software\TV value Dir; null: none
    std::map<std::string, PathKind> files;  // what stands where; the rest is missing
    LaunchState state;
    const char* program;
    bool extensionAdded;
};

const std::string kLines = "0_Item=TV\n0_RegPath=Software\\TV\n0_RegFolder=Dir\n";

const LaunchCase kCases[] = {
    {"NoRegPath_StartsNothing", "0_Item=TV\n0_ExeName=tv.exe\n", "C:\\TV", {}, LaunchState::NoLaunchLines, "",
     false},
    {"NoRegistryValue_FolderUnreadable", kLines + "0_ExeName=tv.exe\n", nullptr, {}, LaunchState::FolderUnreadable,
     "", false},
    {"ProgramThere_Starts", kLines + "0_ExeName=tv.exe\n", "C:\\TV", {{"C:\\TV\\tv.exe", PathKind::File}},
     LaunchState::Starts, "C:\\TV\\tv.exe", false},
    {"NameWithoutExtension_ExeAdded_Starts", kLines + "0_ExeName=tv\n", "C:\\TV",
     {{"C:\\TV\\tv.exe", PathKind::File}}, LaunchState::Starts, "C:\\TV\\tv.exe", true},
    {"NameWithoutExtension_OnlyTheBareFile_Missing", kLines + "0_ExeName=tv\n", "C:\\TV",
     {{"C:\\TV\\tv", PathKind::File}}, LaunchState::ProgramMissing, "C:\\TV\\tv.exe", true},
    {"DotInTheFolderOnly_ExeAdded", kLines + "0_ExeName=tv\n", "C:\\My.TV",
     {{"C:\\My.TV\\tv.exe", PathKind::File}}, LaunchState::Starts, "C:\\My.TV\\tv.exe", true},
    {"FolderAtTheProgramsPath_NotAProgram", kLines + "0_ExeName=tv.exe\n", "C:\\TV",
     {{"C:\\TV\\tv.exe", PathKind::Folder}}, LaunchState::ProgramIsFolder, "C:\\TV\\tv.exe", false},
    {"NothingThere_Missing", kLines + "0_ExeName=tv.exe\n", "C:\\TV", {}, LaunchState::ProgramMissing,
     "C:\\TV\\tv.exe", false},
};

void PrintTo(const LaunchCase& c, std::ostream* os) { *os << c.name; }

class LaunchFindingTest : public ::testing::TestWithParam<LaunchCase> {
protected:
    void SetUp() override {
        if (GetParam().folder != nullptr)
            registry_.keys[qrtl::RegRoot::LocalMachine]["Software\\TV"].values["Dir"] = GetParam().folder;
        document_ = qrtl::ProfileDocument::Parse("[Client]\nDefault=0\n" + GetParam().clientLines);
    }
    qrtl::setup::PathKindOf Files() const {
        const auto files = GetParam().files;
        return [files](const std::string& path) {
            const auto at = files.find(path);
            return at == files.end() ? PathKind::Missing : at->second;
        };
    }
    fakes::FakeRegistry registry_;
    qrtl::ProfileDocument document_;
};

TEST_P(LaunchFindingTest, FindLaunch_ProfileAndFiles_WhatPowerStarts) {
    const LaunchCase& c = GetParam();
    const auto launch = qrtl::setup::FindLaunch(document_, registry_, Files());
    EXPECT_EQ(launch.state, c.state);
    EXPECT_EQ(launch.program, c.program);
    EXPECT_EQ(launch.extensionAdded, c.extensionAdded);
}

// The window's words and the checker's findings say the same about the start.
TEST_P(LaunchFindingTest, CheckerAndWindow_SameProfileAndFiles_AgreeWhetherPowerStarts) {
    const auto launch = qrtl::setup::FindLaunch(document_, registry_, Files());
    const bool windowSaysFails =
        qrtl::setup::LaunchInWords(launch, false).find("POWER cannot start") != std::string::npos;
    qrtl::CheckEnvironment environment;
    environment.registry = &registry_;
    environment.pathKind = Files();
    bool checkerSaysFails = false;
    for (const auto& finding : qrtl::CheckProfile(document_, environment))
        if (finding.kind == qrtl::FindingId::Launch && finding.severity == qrtl::Severity::Warning)
            checkerSaysFails = true;
    EXPECT_EQ(windowSaysFails, checkerSaysFails);
}

INSTANTIATE_TEST_SUITE_P(Table, LaunchFindingTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LaunchFinding, NoFileCheck_FolderReadable_NotChecked) {
    fakes::FakeRegistry registry;
    registry.keys[qrtl::RegRoot::LocalMachine]["Software\\TV"].values["Dir"] = "C:\\TV";
    const auto document = qrtl::ProfileDocument::Parse("[Client]\nDefault=2\n2_Item=TV\n2_RegPath=Software\\TV\n"
                                                       "2_RegFolder=Dir\n2_ExeName=tv\n");
    const auto launch = qrtl::setup::FindLaunch(document, registry, {});
    EXPECT_EQ(launch.state, LaunchState::NotChecked);
    EXPECT_EQ(launch.client, 2);
    EXPECT_EQ(launch.program, "C:\\TV\\tv.exe");
}

}  // namespace
