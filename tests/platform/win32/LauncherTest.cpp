// Win32Launcher: a real start of a copy of windowhost.exe from a folder with blanks.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32Launcher.h"
#include "e2e/E2eHarness.h"

namespace {

// The adapter tests' helper program, beside the test program.
std::string WindowHostExe() { return e2e::ExeDir() + "windowhost.exe"; }

using qrtl::win32::Win32Launcher;

constexpr DWORD kStartWaitMs = 15000;

// "<temp>\QRTL Test Dir <id>\launched.exe", and a decoy "<temp>\QRTL.exe" that an
// unquoted command line would start instead (the first blank ends the file name).
class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string temp = e2e::TempDir();
        dir_ = temp + "QRTL Test Dir " + e2e::UniqueName("launch") + "\\";
        ASSERT_TRUE(::CreateDirectoryA(dir_.c_str(), nullptr));
        launched_ = dir_ + "launched.exe";
        decoy_ = temp + "QRTL.exe";
        ASSERT_TRUE(::CopyFileA(WindowHostExe().c_str(), launched_.c_str(), FALSE));
        decoyInstalled_ = ::CopyFileA(WindowHostExe().c_str(), decoy_.c_str(), FALSE) != FALSE;
    }
    void TearDown() override {
        // The launched copy ends by itself right after writing its marker.
        e2e::PumpUntil([&] { return ::DeleteFileA(launched_.c_str()) != FALSE; }, 5000);
        ::DeleteFileA((launched_ + ".started").c_str());
        ::DeleteFileA((launched_ + ".folder").c_str());
        ::RemoveDirectoryA(dir_.c_str());
        if (decoyInstalled_) {
            e2e::PumpUntil([&] { return ::DeleteFileA(decoy_.c_str()) != FALSE; }, 5000);
            ::DeleteFileA((decoy_ + ".started").c_str());
            ::DeleteFileA((decoy_ + ".folder").c_str());
        }
    }

    std::string dir_, launched_, decoy_;
    bool decoyInstalled_ = false;
};

// The file name as the profile gives it: with its extension, or without one, which
// the platform completes with ".exe" as it always has for a stored N_ExeName.
struct LaunchName {
    const char* name;
    friend void PrintTo(const LaunchName& n, std::ostream* os) { *os << n.name; }
};

class LauncherNameTest : public LauncherTest, public ::testing::WithParamInterface<LaunchName> {};

TEST_P(LauncherNameTest, Launch_PathWithBlanks_StartsThatProgramWithQuotedCommandLine) {
    const std::string path = dir_ + GetParam().name;
    Win32Launcher launcher;
    ASSERT_TRUE(launcher.Launch(path));

    const std::string marker = launched_ + ".started";
    ASSERT_TRUE(e2e::PumpUntil([&] { return e2e::FileExists(marker); }, kStartWaitMs))
        << "the launched program did not run";
    // Give the writer a moment to finish, then check what it was told.
    e2e::PumpUntil([&] { return !e2e::ReadTextFile(marker).empty(); }, 2000);
    EXPECT_EQ(e2e::ReadTextFile(marker), "\"" + path + "\"");
    if (decoyInstalled_) {
        EXPECT_FALSE(e2e::FileExists(decoy_ + ".started")) << "the decoy must never run";
    } else {
        GTEST_SKIP() << "the decoy could not be placed at the first blank";
    }
}

INSTANTIATE_TEST_SUITE_P(Names, LauncherNameTest,
                         ::testing::Values(LaunchName{"launched.exe"}, LaunchName{"launched"}),
                         [](const ::testing::TestParamInfo<LaunchName>& info) {
                             return std::string(info.param.name).find('.') == std::string::npos
                                        ? "NoExtension"
                                        : "WithExtension";
                         });

TEST_F(LauncherTest, Launch_FolderEndingInBackslash_DoubledBackslashStillStarts) {
    // The client path joins a registry folder that ends in a backslash with one more.
    const std::string doubled = dir_ + "\\launched.exe";
    Win32Launcher launcher;
    ASSERT_TRUE(launcher.Launch(doubled));

    const std::string marker = launched_ + ".started";
    ASSERT_TRUE(e2e::PumpUntil([&] { return e2e::FileExists(marker); }, kStartWaitMs))
        << "the launched program did not run";
    e2e::PumpUntil([&] { return !e2e::ReadTextFile(marker).empty(); }, 2000);
    EXPECT_EQ(e2e::ReadTextFile(marker), "\"" + doubled + "\"");
}

// Started from the Run key the monitor works in System32; the client must not.
TEST_F(LauncherTest, Launch_OtherWorkingFolder_ClientStartsInItsOwnFolder) {
    char system[MAX_PATH] = {};
    ASSERT_GT(::GetSystemDirectoryA(system, MAX_PATH), 0u);
    char before[MAX_PATH] = {};
    ASSERT_GT(::GetCurrentDirectoryA(MAX_PATH, before), 0u);
    ASSERT_TRUE(::SetCurrentDirectoryA(system));
    const std::string path = dir_ + "\\launched.exe";  // the doubled backslash as well
    Win32Launcher launcher;
    const bool launched = launcher.Launch(path);
    ::SetCurrentDirectoryA(before);
    ASSERT_TRUE(launched);

    const std::string marker = launched_ + ".started";
    ASSERT_TRUE(e2e::PumpUntil([&] { return e2e::FileExists(marker); }, kStartWaitMs))
        << "the launched program did not run";
    e2e::PumpUntil([&] { return !e2e::ReadTextFile(marker).empty(); }, 2000);
    EXPECT_EQ(e2e::ReadTextFile(marker), "\"" + path + "\"") << "the command line stays";
    const std::string expected = dir_.substr(0, dir_.size() - 1);
    const std::string folder = e2e::ReadTextFile(launched_ + ".folder");
    EXPECT_EQ(::lstrcmpiA(folder.c_str(), expected.c_str()), 0) << folder;
}

// A quote written into the launch lines would end the quoted file name and add
// arguments of its own: such a path starts nothing at all.
TEST_F(LauncherTest, Launch_PathHoldingAQuote_StartsNothing) {
    for (const std::string& tail :
         {std::string("launched.exe\" /evil"), std::string("launched\" \"/evil"), std::string("launched.exe\"")}) {
        SCOPED_TRACE(tail);
        Win32Launcher launcher;
        EXPECT_FALSE(launcher.Launch(dir_ + tail));
        EXPECT_FALSE(e2e::PumpUntil([&] { return e2e::FileExists(launched_ + ".started"); }, 1500))
            << e2e::ReadTextFile(launched_ + ".started");
        ::DeleteFileA((launched_ + ".started").c_str());
    }
}

TEST_F(LauncherTest, Launch_EmptyPath_StartsNothing) {
    Win32Launcher launcher;
    EXPECT_FALSE(launcher.Launch(""));
}

TEST_F(LauncherTest, Launch_MissingFile_False) {
    Win32Launcher launcher;
    EXPECT_FALSE(launcher.Launch(dir_ + "absent.exe"));
    if (decoyInstalled_) {
        EXPECT_FALSE(e2e::FileExists(decoy_ + ".started"));
    }
}

}  // namespace
