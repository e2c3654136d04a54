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
