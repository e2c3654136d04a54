#include "trace/Trace.h"

#include <cstdio>
#include <cstring>

int32_t g_bTraceEnabled = 1;

namespace {
qrtl::ITraceTransport* g_transport = nullptr;
// A viewer that was slow to answer gets no lines for a while.
TraceThrottle g_throttle;
}

void SetTraceTransport(qrtl::ITraceTransport* transport) {
    g_transport = transport;
    g_throttle = TraceThrottle();
}

bool FormatTraceMessage(std::string& out, const char* format, va_list args) {
    char message[kTraceHalf];
    const int n = std::vsnprintf(message, sizeof message, format, args);
    // Empty, or longer than the half with its zero: the line is dropped, never cut short.
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof message) return false;
    out.assign(message, static_cast<std::size_t>(n));
    return true;
}

bool ComposeTraceBlock(char (&block)[kTraceBlock], const std::string& message,
                       const char* sourceFile, int32_t line) {
    char composed[kTraceHalf];
    const int n = std::snprintf(composed, sizeof composed, "%s @ %s @ %d", message.c_str(),
                                sourceFile ? sourceFile : "", static_cast<int>(line));
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof composed) return false;
    std::memset(block, 0, sizeof block);
    std::memcpy(block, composed, static_cast<std::size_t>(n) + 1);
    return true;
}

bool TraceThrottle::MaySend(uint32_t nowMs) const {
    // Unsigned differences: right across the wrap of the tick count.
    if (m_bQuiet && nowMs - m_quietFromMs < kTraceQuietMs) return false;
    return m_spentMs < kTraceBudgetMs || nowMs - m_periodFromMs >= kTraceBudgetPeriodMs;
}

void TraceThrottle::Sent(uint32_t startMs, uint32_t endMs, bool timedOut) {
    const uint32_t took = endMs - startMs;
    m_bQuiet = timedOut || took > kTraceSlowSendMs;
    if (m_bQuiet) m_quietFromMs = endMs;
    if (startMs - m_periodFromMs >= kTraceBudgetPeriodMs) {
        m_periodFromMs = startMs;
        m_spentMs = 0;
        m_freeSpentMs = 0;
    }
    if (took <= kTraceQuickSendMs && kTraceFreeMs - m_freeSpentMs >= took) {
        m_freeSpentMs += took;
        return;
    }
    // Saturated: a send that hung for days must not wrap the sum back under the budget.
    m_spentMs = took > kTraceBudgetPeriodMs - m_spentMs ? kTraceBudgetPeriodMs : m_spentMs + took;
}

std::string EscapeControlText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 || c == '\t') {
            out += c;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            out += hex;
        }
    }
    return out;
}

void TraceOut(int32_t level, const char* sourceFile, int32_t line, const char* format, ...) {
    if (format == nullptr) return;
    std::string message;
    va_list args;
    va_start(args, format);
    const bool ok = FormatTraceMessage(message, format, args);
    va_end(args);
    if (!ok) return;

    char block[kTraceBlock];
    if (!ComposeTraceBlock(block, message, sourceFile, line)) return;
    if (!g_bTraceEnabled || g_transport == nullptr) return;
    const uint32_t start = g_transport->NowMs();
    if (!g_throttle.MaySend(start)) return;
    const qrtl::TraceDelivery delivery = g_transport->Deliver(level, block, sizeof block);
    // A viewer that closed meanwhile fails the send too, at once: only a timeout counts.
    if (delivery == qrtl::TraceDelivery::NoViewer) return;
    g_throttle.Sent(start, g_transport->NowMs(), delivery == qrtl::TraceDelivery::TimedOut);
}

void TraceBox(const char* format, ...) {
    if (format == nullptr) return;
    char text[kTraceHalf];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // The text, its line feed and the zero must fit together.
    if (n <= 0 || static_cast<std::size_t>(n) + 2 > sizeof text) return;
    text[n] = '\n';
    text[n + 1] = '\0';
    if (g_transport != nullptr) g_transport->ShowBox(text);
}
