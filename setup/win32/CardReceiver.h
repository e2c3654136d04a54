// The card's receiver for learning, shared by both set-up tools: the driver loaded
// as the monitor loads it and read on a worker thread, so that a driver that hangs
// in a read never holds the tool up. One tool at a time reads it: a named lock,
// held from TakeLock until Close, keeps the set-up window and QRTLProfile learn
// apart (the monitor does not take it; the tools close the monitor first).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/win32/Handle.h"

namespace qrtl::win32 {

enum class ReceiverOpen {
    Ok,
    Missing,  // the driver library is not found
    NoCard,   // the library is there, but the card does not start
    Busy,     // a released worker is still inside its last read
};

class CardReceiver {
public:
    CardReceiver() = default;
    // Closes the receiver; with a read still inside the driver the process ends
    // here (see EndProcessIfStuck).
    ~CardReceiver();
    CardReceiver(const CardReceiver&) = delete;
    CardReceiver& operator=(const CardReceiver&) = delete;

    // The driver library is found where the monitor looks for it (not loaded).
    static bool DriverPresent();

    // The tools' lock of the receiver; false while another tool holds it.
    bool TakeLock();
    // Loads the driver by the monitor's names (or `driver`, a name or path) and
    // initialises the card. Needs the lock.
    ReceiverOpen Open(const std::string& driver = {});
    bool IsOpen() const { return open_; }

    // Starts reading every learn interval; each read is queued and, with a
    // window given, `message` is posted to it.
    bool Start(HWND notify = nullptr, UINT message = 0);
    // The next read of the current run: false when none is waiting.
    bool TakeRead(bool& got, uint32_t& code);
    // How long the read in progress has been running; 0 when none is.
    DWORD ReadRunningForMs() const;
    // The read in progress is taken for hung: the worker is told to stop, and
    // leaves as soon as the driver answers.
    void Abandon();
    // A read abandoned inside the driver has not come back yet.
    bool Stuck() const;
    // Stops reading; false when the worker is stuck in a read (it is left alone).
    bool Stop();
    // Stops, closes the driver and gives the lock back; with a stuck read the
    // driver stays loaded and the lock held, since our read still uses it.
    void Close();
    // Stops without waiting on the driver: a read that has just begun is given a
    // moment (a normal read answers within milliseconds, and then all is closed
    // here); with a longer one the worker closes the driver when that read returns,
    // and posts the run's message; the lock comes back on the next call once it has
    // (Busy, TakeLock, Open, Close).
    void Release();
    // A released worker is still inside its last read: the receiver cannot be
    // opened again yet.
    bool Busy();

    // With a read stuck inside the driver, ends the process at once: its normal
    // end would unload the library under the worker's feet. Output written with
    // the C library is flushed first.
    void EndProcessIfStuck(UINT exitCode);

private:
    // A released worker that has left: its thread joined, the driver closed, the
    // lock given back.
    void Settle();

    bool open_ = false;
    bool releasing_ = false;
    UniqueHandleObj lock_;
};

}  // namespace qrtl::win32
