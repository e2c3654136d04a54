// The simulated card driver that the end-to-end tests and the demo stand on:
// its exports, its queue of codes and its log.
#include <gtest/gtest.h>

#include <string>

#include "E2eHarness.h"
#include "driver/CardDriverApi.h"

using namespace e2e;

namespace {

using InitFn = carddriver::QRDiI2CInitFn*;
using ReadByteFn = carddriver::QRDiI2CReadByteFn*;
using CloseFn = carddriver::QRDiI2CCloseFn*;

constexpr unsigned kUntouched = 0xDEADBEEFu;

// The driver's entry points are cdecl, not the FARPROC's stdcall: cast through void*.
template <typename Fn>
Fn Proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

class SimDriver : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.Create("sim"));
        queue_ = folder_ / "queue";
        ASSERT_TRUE(MakeDir(queue_));
        ASSERT_TRUE(::SetEnvironmentVariableA("QRDSIM_QUEUE", queue_.c_str()));
        ASSERT_TRUE(::SetEnvironmentVariableA("QRDSIM_LOG", (folder_ / "sim.log").c_str()));
        module_.reset(::LoadLibraryA(WinPath(QRTL_E2E_SIMDRIVER).c_str()));
        ASSERT_TRUE(module_);
        init_ = Proc<InitFn>(module_.get(), "QRDiI2CInit");
        read_ = Proc<ReadByteFn>(module_.get(), "QRDiI2CReadByte");
        close_ = Proc<CloseFn>(module_.get(), "QRDiI2CClose");
        ASSERT_TRUE(init_ && read_ && close_);
    }
    void TearDown() override {
        ::SetEnvironmentVariableA("QRDSIM_QUEUE", nullptr);
        ::SetEnvironmentVariableA("QRDSIM_LOG", nullptr);
    }

    void Queue(const std::string& name, const std::string& text) {
        ASSERT_TRUE(WriteTextFile(queue_ + "\\" + name, text));
    }
    unsigned Read(int device = carddriver::kIrDeviceAddress, int sub = carddriver::kIrSubAddress) {
        unsigned value = kUntouched;
        read_(device, sub, &value);
        return value;
    }

    TempFolder folder_;
    std::string queue_;
    qrtl::win32::UniqueHModule module_;
    InitFn init_ = nullptr;
    ReadByteFn read_ = nullptr;
    CloseFn close_ = nullptr;
};

TEST(SimDriverExports, BothLibraryNames_ExportAllEightEntryPointsUndecorated) {
#define QRTL_CARD_DRIVER_NAME(name, result, params) #name,
    const char* names[] = {QRTL_CARD_DRIVER_ENTRY_POINTS(QRTL_CARD_DRIVER_NAME)};
#undef QRTL_CARD_DRIVER_NAME
    for (const char* path : {QRTL_E2E_SIMDRIVER, QRTL_E2E_SIMDRIVER_9X}) {
        SCOPED_TRACE(path);
        const std::string win = WinPath(path);
        const std::string file = win.substr(win.find_last_of('\\') + 1);
        EXPECT_TRUE(file == product::kDriverNt || file == product::kDriver9x) << file;
        qrtl::win32::UniqueHModule dll(::LoadLibraryA(win.c_str()));
        ASSERT_TRUE(dll);
        for (const char* name : names) EXPECT_NE(nullptr, ::GetProcAddress(dll.get(), name)) << name;
    }
}

TEST_F(SimDriver, QueuedCodes_DeliveredLowestNameFirstAndOnlyOnce) {
    Queue("0002", "30\r\n");
    Queue("0001", "12");
    Queue("0003", "255");
    EXPECT_EQ(12u, Read());
    EXPECT_EQ(30u, Read());
    EXPECT_EQ(255u, Read());
    EXPECT_EQ(kUntouched, Read()) << "an empty queue must leave the variable alone";
    EXPECT_FALSE(FileExists(queue_ + "\\0001"));
}

TEST_F(SimDriver, UnusableQueueFiles_AreSkippedOrLeftAlone) {
    Queue("0001", "abc");
    Queue("0002", "256");
    Queue("0003.tmp", "40");  // still being written
    Queue(".hidden", "41");
    EXPECT_EQ(kUntouched, Read());
    EXPECT_FALSE(FileExists(queue_ + "\\0001"));
    EXPECT_FALSE(FileExists(queue_ + "\\0002"));
    EXPECT_TRUE(FileExists(queue_ + "\\0003.tmp"));
    // Another register than the receiver's delivers nothing and takes nothing.
    Queue("0004", "7");
    EXPECT_EQ(kUntouched, Read(0x65, 0));
    EXPECT_EQ(7u, Read());
}

TEST_F(SimDriver, FailInitFile_MakesInitFailAndEveryCallIsLogged) {
    EXPECT_EQ(1, init_());
    Queue("fail-init", "");
    EXPECT_EQ(0, init_());
    Queue("0001", "20");
    EXPECT_EQ(20u, Read()) << "fail-init is not a code";
    close_();
    const std::string log = ReadTextFile(folder_ / "sim.log");
    EXPECT_EQ(1u, CountOccurrences(log, "QRDiI2CInit() -> 1")) << log;
    EXPECT_EQ(1u, CountOccurrences(log, "QRDiI2CInit() -> 0")) << log;
    EXPECT_EQ(1u, CountOccurrences(log, "QRDiI2CReadByte(0x64, 0) -> 20 (queue file 0001)"))
        << log;
    EXPECT_EQ(1u, CountOccurrences(log, "QRDiI2CClose()")) << log;
}

}  // namespace
