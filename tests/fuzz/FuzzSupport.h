// Shared pieces of the fuzz targets: a trace viewer that checks every block, and the
// checks every post must pass.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/QRTLIRSet.h"
#include "dispatch/Dispatch.h"
#include "fakes/Fakes.h"

namespace fuzz {

// Where FakeModule's default executable path puts its profile.
constexpr char kIniPath[] = "C:\\Apps\\QRTLIRMoni.INI";

// Stops the run with a message libFuzzer keeps beside the crashing input.
[[noreturn]] inline void Fail(const char* what, unsigned long a = 0, unsigned long b = 0) {
    std::fprintf(stderr, "invariant broken: %s (%lu, %lu)\n", what, a, b);
    std::abort();
}
inline void Check(bool ok, const char* what, unsigned long a = 0, unsigned long b = 0) {
    if (!ok) Fail(what, a, b);
}

// A viewer that checks every block is whole and holds a terminated line; the
// last byte is read so that a short block shows up under the address sanitizer.
class ReadingTransport : public qrtl::ITraceTransport {
public:
    qrtl::TraceDelivery Deliver(int32_t, const char* block, std::size_t size) override {
        Check(size == 1024, "trace block size", size);
        Check(std::memchr(block, '\0', size) != nullptr, "trace block not terminated");
        sink += static_cast<unsigned char>(block[size - 1]);
        return qrtl::TraceDelivery::Answered;
    }
    void ShowBox(const char* text) override { sink += std::strlen(text); }
    unsigned long sink = 0;
};

// Every post since `from`: a command with high word 1 or a key down with a
// virtual-key byte, lParam 0, to `client`; none at all without a client.
inline void CheckPosts(const fakes::FakeDesktop& desktop, std::size_t from,
                       qrtl::WindowHandle client) {
    for (std::size_t i = from; i < desktop.posted.size(); ++i) {
        const auto& p = desktop.posted[i];
        Check(client != qrtl::kNoWindow, "post without a client window", p.hWnd);
        Check(p.hWnd == client, "post to another window", p.hWnd, client);
        Check(p.lParam == 0, "lParam", static_cast<unsigned long>(p.lParam));
        if (p.msg == kWmCommand)
            Check((p.wParam >> 16) == 1, "WM_COMMAND high word", p.wParam);
        else if (p.msg == kWmKeyDown)
            Check(p.wParam <= 0xFF, "WM_KEYDOWN wParam", p.wParam);
        else
            Fail("unexpected message", p.msg);
    }
}

}  // namespace fuzz
