// The card's receiver for learning: the driver loaded as the monitor loads it,
// read every 100 ms on a worker thread so that a driver that hangs in a read never
// holds the window up. Each read is posted to the window; the window watches how
// long a read has been running.
#pragma once

#include <windows.h>

#include <string>

namespace remote {

// How long one read may run before the driver is taken for hung.
constexpr DWORD kReadHangMs = 5000;

class Receiver {
public:
    Receiver() = default;
    ~Receiver();
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    // Loads the card driver by the monitor's names and initialises the card; false
    // with the reason in words.
    bool Open(std::string& why);
    bool IsOpen() const { return open_; }

    // Starts reading: every read posts `message` to `notify` with the low 8 bits of
    // the code in wParam and, in lParam, bit 0 set when the read delivered a code
    // and the reading run's number in the bits above.
    bool Start(HWND notify, UINT message);
    // Stops reading; false when the worker is stuck in a read (it is left alone).
    bool Stop();
    bool Reading() const;
    // The number of the current reading run, to tell stale posts apart.
    LPARAM Run() const;
    // How long the read in progress has been running; 0 when none is.
    DWORD ReadRunningForMs() const;

    // The driver is closed, unless a read is stuck inside it.
    void Close();

private:
    bool open_ = false;
};

}  // namespace remote
