// The card driver loader against the stand-in driver DLLs built beside this program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/CardDriver.h"
#include "product.h"
#include "platform/win32/Handle.h"
#include "e2e/E2eHarness.h"

namespace {

int CountLines(const std::string& log, const std::string& line) {
    int n = 0;
    for (std::size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) {
        if (at == 0 || log[at - 1] == '\n') ++n;
    }
    return n;
}

void SetEnv(const char* name, const char* value) { ::SetEnvironmentVariableA(name, value); }

// Each test works on its own copy of a stand-in DLL in its own temporary folder, so
// a library kept loaded by one test never stands in for the next one's.
class CardDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = e2e::TempDir() + e2e::UniqueName("QRTL Card") + "\\";
        ASSERT_TRUE(::CreateDirectoryA(dir_.c_str(), nullptr));
        SetEnv("QRTL_CARD_LOG", log_.path().c_str());
        SetEnv("QRTL_CARD_READ_RESULT", nullptr);
        SetEnv("QRTL_CARD_VALUE", nullptr);
    }
    void TearDown() override {
        CloseCardDriver();
        kept_.clear();
        for (const std::string& f : files_) ::DeleteFileA(f.c_str());
        ::RemoveDirectoryA(dir_.c_str());
        SetEnv("QRTL_CARD_LOG", nullptr);
    }

    // Copies the built stand-in `dll` into the test's folder as `name`.
    std::string Install(const char* dll, const char* name) {
        const std::string target = dir_ + name;
        EXPECT_TRUE(::CopyFileA((e2e::ExeDir() + dll).c_str(), target.c_str(), FALSE)) << dll;
        files_.push_back(target);
        return target;
    }

    std::string Log() const { return log_.Read(); }

    std::string dir_;
    e2e::TempFile log_{"card"};
    std::vector<std::string> files_;
    // Libraries the loader left loaded on purpose, released when the test ends.
    std::vector<qrtl::win32::UniqueHModule> kept_;
};

TEST_F(CardDriverTest, LoadCardDriverFrom_AllExports_InitOnceReadsReachLibraryCloseOnce) {
    const std::string path = Install("carddrv_full.dll", product::kDriverNt);
    SetEnv("QRTL_CARD_READ_RESULT", "7");
    SetEnv("QRTL_CARD_VALUE", "0x1234");

    ASSERT_EQ(LoadCardDriverFrom(path.c_str()), 1);
    EXPECT_EQ(CountLines(Log(), "init\n"), 1);

    uint32_t value = 0xDEADBEEF;
    EXPECT_EQ(ReadCardByte(0x64, 0, &value), 7);
    EXPECT_EQ(value, 0x1234u);
    EXPECT_EQ(CountLines(Log(), "read 100 0\n"), 1) << "device and sub-address pass unchanged";

    CloseCardDriver();
    CloseCardDriver();
    const std::string log = Log();
    EXPECT_EQ(CountLines(log, "close\n"), 1);
    EXPECT_EQ(CountLines(log, "detach\n"), 1) << "released once";
    EXPECT_LT(log.find("close\n"), log.find("detach\n")) << "closed before it is released";
    EXPECT_EQ(::GetModuleHandleA(path.c_str()), nullptr);
    // The entry points that are only looked up are never called.
    EXPECT_EQ(log.find("nv"), std::string::npos);
    EXPECT_EQ(log.find("write"), std::string::npos);
    EXPECT_EQ(log.find("readword"), std::string::npos);
}

TEST_F(CardDriverTest, ReadCardByte_AfterClose_DoesNotReachLibraryAndLeavesValue) {
    const std::string path = Install("carddrv_full.dll", product::kDriverNt);
    ASSERT_EQ(LoadCardDriverFrom(path.c_str()), 1);
    CloseCardDriver();

    uint32_t value = 0xA5A5A5A5;
    EXPECT_EQ(ReadCardByte(0x64, 0, &value), 0);
    EXPECT_EQ(value, 0xA5A5A5A5u);
    EXPECT_EQ(CountLines(Log(), "read 100 0\n"), 0);
}

TEST_F(CardDriverTest, CardDriverReader_ForwardsReadAndClose) {
    const std::string path = Install("carddrv_full.dll", product::kDriverNt);
    SetEnv("QRTL_CARD_VALUE", "42");
    ASSERT_EQ(LoadCardDriverFrom(path.c_str()), 1);

    CardDriverReader reader;
    uint32_t value = 0;
    EXPECT_EQ(reader.ReadByte(0x64, 0, &value), 1);
    EXPECT_EQ(value, 42u);
    reader.Close();
    reader.Close();
    EXPECT_EQ(reader.ReadByte(0x64, 0, &value), 0);
    EXPECT_EQ(CountLines(Log(), "close\n"), 1);
    EXPECT_EQ(CountLines(Log(), "read 100 0\n"), 1);
}

// A library without one of the entry points that are called is not used at all.
struct MissingEntry {
    const char* dll;
    const char* entry;
    friend void PrintTo(const MissingEntry& m, std::ostream* os) { *os << m.entry; }
};

class CardDriverMissingTest : public CardDriverTest,
                              public ::testing::WithParamInterface<MissingEntry> {};

TEST_P(CardDriverMissingTest, LoadCardDriverFrom_EntryMissing_FailsAndReleasesLibrary) {
    const std::string path = Install(GetParam().dll, product::kDriverNt);
    EXPECT_EQ(LoadCardDriverFrom(path.c_str()), 0);

    const std::string log = Log();
    EXPECT_EQ(CountLines(log, "init\n"), 0) << "a library that cannot be used is not started";
    EXPECT_EQ(CountLines(log, "detach\n"), 1);
    EXPECT_EQ(::GetModuleHandleA(path.c_str()), nullptr);
    uint32_t value = 3;
    EXPECT_EQ(ReadCardByte(0x64, 0, &value), 0);
    EXPECT_EQ(value, 3u);
    CloseCardDriver();
    EXPECT_EQ(CountLines(Log(), "close\n"), 0);
}

INSTANTIATE_TEST_SUITE_P(Entries, CardDriverMissingTest,
                         ::testing::Values(MissingEntry{"carddrv_noread.dll", "QRDiI2CReadByte"},
                                           MissingEntry{"carddrv_noinit.dll", "QRDiI2CInit"},
                                           MissingEntry{"carddrv_noclose.dll", "QRDiI2CClose"}),
                         [](const ::testing::TestParamInfo<MissingEntry>& info) {
                             return std::string(info.param.entry);
                         });

TEST_F(CardDriverTest, LoadCardDriverFrom_InitFails_ZeroAndLibraryNeitherClosedNorReleased) {
    const std::string path = Install("carddrv_initfail.dll", product::kDriverNt);
    EXPECT_EQ(LoadCardDriverFrom(path.c_str()), 0);

    HMODULE stillLoaded = ::GetModuleHandleA(path.c_str());
    EXPECT_NE(stillLoaded, nullptr);
    if (stillLoaded != nullptr) kept_.emplace_back(stillLoaded);
    // Nothing left to close afterwards either.
    CloseCardDriver();
    const std::string log = Log();
    EXPECT_EQ(CountLines(log, "init\n"), 1);
    EXPECT_EQ(CountLines(log, "close\n"), 0);
    EXPECT_EQ(CountLines(log, "detach\n"), 0);
}

TEST_F(CardDriverTest, LoadCardDriverFrom_NoSuchFile_Zero) {
    EXPECT_EQ(LoadCardDriverFrom((dir_ + product::kDriverNt).c_str()), 0);
    EXPECT_EQ(LoadCardDriverFrom(nullptr), 0);
}

TEST_F(CardDriverTest, LoadCardDriver_BareNameOfPlatformFamily_FoundInSearchPath) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(::GetVersionExA(&version));
    const char* name = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? product::kDriver9x
                                                                           : product::kDriverNt;
    // Only the expected name is offered; the other family's name is a library that
    // would not load, so picking the wrong one fails the test.
    Install("carddrv_full.dll", name);
    Install("carddrv_noread.dll", name == product::kDriverNt ? product::kDriver9x : product::kDriverNt);

    // The current folder is on the library search path after the system folders.
    char previous[MAX_PATH] = {};
    ASSERT_NE(::GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(::SetCurrentDirectoryA(dir_.c_str()));
    const BOOL loaded = LoadCardDriver();
    ::SetCurrentDirectoryA(previous);

    EXPECT_EQ(loaded, 1);
    EXPECT_NE(::GetModuleHandleA(name), nullptr);
    CloseCardDriver();
    EXPECT_EQ(CountLines(Log(), "init\n"), 1);
    EXPECT_EQ(CountLines(Log(), "close\n"), 1);
}

TEST_F(CardDriverTest, LoadCardDriverFrom_SecondLoad_ClosesFirstLibrary) {
    const std::string first = Install("carddrv_full.dll", "first.dll");
    const std::string second = Install("carddrv_full.dll", "second.dll");
    ASSERT_EQ(LoadCardDriverFrom(first.c_str()), 1);
    ASSERT_EQ(LoadCardDriverFrom(second.c_str()), 1);
    EXPECT_EQ(::GetModuleHandleA(first.c_str()), nullptr);
    EXPECT_NE(::GetModuleHandleA(second.c_str()), nullptr);
    EXPECT_EQ(CountLines(Log(), "close\n"), 1);
}

std::vector<std::string>* g_dllSearch = nullptr;

int __stdcall RecordSetDllDirectory(const char* folder) {
    g_dllSearch->push_back(folder == nullptr ? "reset" : std::string("set ") + folder);
    return 1;
}

// The driver is loaded with the program's folder in the library search, and the
// standard search comes back at once, loaded or not: the TV application the monitor
// starts inherits it.
TEST_F(CardDriverTest, LoadWithProgramFolderSearch_LoadedOrNot_SetLoadResetInOrder) {
    std::vector<std::string> calls;
    g_dllSearch = &calls;
    for (const BOOL result : {1, 0}) {
        calls.clear();
        EXPECT_EQ(qrtl::LoadWithProgramFolderSearch(
                      [&] {
                          calls.push_back("load");
                          return result;
                      },
                      RecordSetDllDirectory),
                  result);
        EXPECT_EQ(calls, (std::vector<std::string>{"set " + e2e::ExeDir(), "load", "reset"}));
    }
    g_dllSearch = nullptr;
}

}  // namespace
