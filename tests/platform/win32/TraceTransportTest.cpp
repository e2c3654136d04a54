// Win32TraceTransport against a real "MsgCapForm" viewer in another process.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Win32Trace.h"
#include "product.h"
#include "trace/Trace.h"
#include "e2e/E2eHarness.h"

namespace {

// The adapter tests' helper program, beside the test program.
std::string WindowHostExe() { return e2e::ExeDir() + "windowhost.exe"; }

using qrtl::win32::Win32TraceTransport;

constexpr const char* kViewerCaption = product::kTraceViewerTitle;
constexpr std::size_t kBlock = 1024;
constexpr std::size_t kRecordHeader = 8;

struct Received {
    uint32_t dwData = 0;
    uint32_t cbData = 0;
    std::string data;
};

// The viewer's log: per WM_COPYDATA, dwData, cbData and the whole block.
std::vector<Received> ParseViewerLog(const std::string& log) {
    std::vector<Received> out;
    std::size_t at = 0;
    while (log.size() - at >= kRecordHeader) {
        Received r;
        std::memcpy(&r.dwData, log.data() + at, 4);
        std::memcpy(&r.cbData, log.data() + at + 4, 4);
        at += kRecordHeader;
        if (log.size() - at < r.cbData) break;
        r.data = log.substr(at, r.cbData);
        at += r.cbData;
        out.push_back(r);
    }
    return out;
}

std::string BlockWith(const char* text) {
    std::string block(kBlock, '\0');
    std::memcpy(&block[0], text, std::strlen(text));
    return block;
}

bool ViewerRuns() { return ::FindWindowA(nullptr, kViewerCaption) != nullptr; }

// The records of the viewer's log once it holds at least `count`. The send returns
// when the viewer has handled the line, unless the machine is so slow that the
// send's timeout ran out first: then the viewer still writes it a moment later.
std::vector<Received> WaitForRecords(const e2e::TempFile& log, std::size_t count) {
    std::vector<Received> received;
    e2e::PumpUntil(
        [&] {
            received = ParseViewerLog(log.Read());
            return received.size() >= count;
        },
        5000);
    return received;
}

class TraceTransportTest : public ::testing::Test {
protected:
    // Starts the viewer; `hangMs` makes its WM_COPYDATA handler stall first.
    void StartViewer(unsigned hangMs = 0) {
        if (ViewerRuns()) GTEST_SKIP() << "another MsgCapForm window is open on this desktop";
        std::string args = "--viewer --timeout 60000 --log \"" + log_.path() + "\"";
        if (hangMs != 0) args += " --hang " + std::to_string(hangMs);
        ASSERT_TRUE(viewer_.Start("\"" + WindowHostExe() + "\" " + args, ""));
        ASSERT_NE(viewer_.WaitForWindow(nullptr, kViewerCaption), nullptr);
    }

    Win32TraceTransport transport_;
    e2e::TempFile log_{"viewer"};
    e2e::ChildProcess viewer_;
};

TEST_F(TraceTransportTest, Deliver_ViewerInOtherProcess_ReceivesWholeBlockWithLevel) {
    StartViewer();
    const std::string block = BlockWith("LookUpKey : #8001 @ QRTLIRSet @ 301");
    transport_.Deliver(101, block.data(), block.size());
    transport_.Deliver(-5, block.data(), block.size());

    const auto received = WaitForRecords(log_, 2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].dwData, 101u);
    EXPECT_EQ(received[0].cbData, kBlock);
    EXPECT_EQ(received[0].data, block) << "the exact 1024 bytes, zeros included";
    EXPECT_EQ(received[1].dwData, static_cast<uint32_t>(-5)) << "the level is not interpreted";
}

TEST_F(TraceTransportTest, TraceOut_ThroughTransport_ViewerGetsComposedLine) {
    StartViewer();
    SetTraceTransport(&transport_);
    TraceOut(401, "QRTLIRSet", 485, "IRCODE : %s", "12");
    TraceOut(101, "QRTLIRSet", 301, "%s", "");  // empty message: nothing is sent
    TraceOut(401, "QRTLIRSet", 488, "Lookup Result : %s, %s", "12", "VOL+");
    SetTraceTransport(nullptr);

    // Two lines sent, in order; the empty one between them never was.
    const auto received = WaitForRecords(log_, 2);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].dwData, 401u);
    EXPECT_EQ(received[0].cbData, kBlock);
    EXPECT_EQ(received[0].data, BlockWith("IRCODE : 12 @ QRTLIRSet @ 485"));
    EXPECT_EQ(received[1].data, BlockWith("Lookup Result : 12, VOL+ @ QRTLIRSet @ 488"));
}

TEST_F(TraceTransportTest, Deliver_NoViewer_ReturnsAtOnce) {
    if (ViewerRuns()) GTEST_SKIP() << "a MsgCapForm window is open on this desktop";
    const std::string block = BlockWith("nobody listens @ QRTLIRSet @ 1");
    const DWORD start = ::GetTickCount();
    for (int i = 0; i < 20; ++i) transport_.Deliver(100, block.data(), block.size());
    EXPECT_LT(::GetTickCount() - start, 500u);
}

TEST_F(TraceTransportTest, Deliver_HungViewer_GivesUpAfterTimeout) {
    StartViewer(20000);
    const std::string block = BlockWith("stalled @ QRTLIRSet @ 2");

    const DWORD start = ::GetTickCount();
    transport_.Deliver(100, block.data(), block.size());
    const DWORD elapsed = ::GetTickCount() - start;

    std::printf("one line to a hung viewer took %lu ms\n", static_cast<unsigned long>(elapsed));
    RecordProperty("hung_viewer_ms", static_cast<int>(elapsed));
    EXPECT_GE(elapsed, qrtl::win32::kTraceSendTimeoutMs - 100) << "it did wait for the viewer";
    EXPECT_LT(elapsed, 2000u);
}

}  // namespace
