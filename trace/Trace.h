// The trace channel: lines to a "MsgCapForm" viewer window, and one message box.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Platform.h"

// Trace levels in use.
constexpr int32_t kTraceSearch = 100;    // detail of the client window search
constexpr int32_t kTraceFlow = 101;      // flow of handlers, settings and lookups
constexpr int32_t kTraceIrCode = 401;    // each received code and its lookup

// Source file names that trace lines carry.
constexpr const char kTraceFileSet[] = "QRTLIRSet";
constexpr const char kTraceFileDlg[] = "QRTLIRMoniDlg";
constexpr const char kTraceFileSetupDlg[] = "QRTLIRMoniSetupDlg";

constexpr std::size_t kTraceHalf = 512;    // each half of the work area
constexpr std::size_t kTraceBlock = 1024;  // the transfer block, always sent whole

// Process-wide switch; on from the start.
extern int32_t g_bTraceEnabled;

// Where lines go; null drops them. The adapter installs the real transport at start.
void SetTraceTransport(qrtl::ITraceTransport* transport);

// Formats the message with the 512-byte limit; false when it is empty or does
// not fit (the line is then dropped whole).
bool FormatTraceMessage(std::string& out, const char* format, va_list args);

// Composes "%s @ %s @ %d" into the 1024-byte zero-filled block; false when the
// composed line does not fit in 512 bytes with its terminating zero.
bool ComposeTraceBlock(char (&block)[kTraceBlock], const std::string& message,
                       const char* sourceFile, int32_t line);

// Keeps a slow viewer from slowing the monitor. Any program may own a window titled
// "MsgCapForm" and answer each line late while it keeps pumping (so the system never
// takes it for hung): after one send that timed out or took longer than
// kTraceSlowSendMs, lines are dropped for kTraceQuietMs, then one is tried again. And
// the sends of one second may take kTraceBudgetMs together: once they have, lines are
// dropped until that second is over, so a viewer answering each line just under the
// slow limit costs the monitor a tenth of its time, not whole seconds per tick. A
// send answered within kTraceQuickSendMs is free while the free sends of that second
// took less than kTraceFreeMs together: a viewer that keeps up, also on a busy system
// where each send takes a few milliseconds, sees every line. Beyond that allowance a
// quick send counts like a slow one, so a viewer answering each line just under the
// quick limit costs the monitor at most kTraceFreeMs + kTraceBudgetMs a second.
// Times are tick counts in milliseconds, which may wrap.
constexpr uint32_t kTraceSlowSendMs = 200;
constexpr uint32_t kTraceQuietMs = 5000;
constexpr uint32_t kTraceBudgetMs = 100;
constexpr uint32_t kTraceBudgetPeriodMs = 1000;
constexpr uint32_t kTraceQuickSendMs = 20;
constexpr uint32_t kTraceFreeMs = 200;

class TraceThrottle {
public:
    // Whether a line may be sent at `nowMs`.
    bool MaySend(uint32_t nowMs) const;
    // After a send that began at `startMs` and returned at `endMs`; `timedOut` when
    // the viewer did not answer in the send's own limit.
    void Sent(uint32_t startMs, uint32_t endMs, bool timedOut);

private:
    bool m_bQuiet = false;
    uint32_t m_quietFromMs = 0;
    // The second the budget counts for begins with its first send.
    uint32_t m_periodFromMs = 0;
    uint32_t m_spentMs = 0;
    uint32_t m_freeSpentMs = 0;
};

// Received trace text as a viewer prints it: CR as \r, LF as \n and every other
// byte below 0x20 but tab as \xNN, so one received line stays one printed line and
// a sender cannot forge lines or terminal controls.
std::string EscapeControlText(const std::string& text);

void TraceOut(int32_t level, const char* sourceFile, int32_t line, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

void TraceBox(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
