// What the remote set-up window lets the owner do now, and what it says about it,
// from what the window knows of the profile file and the card's receiver: which
// actions are off and why, the banner that keeps the important messages where the
// next action cannot overwrite them, the receiver line and the greeting. No window
// here: the window turns buttons off and shows these words.
#pragma once

#include <string>
#include <vector>

#include "setup/RemoteRows.h"

namespace qrtl::setup {

// Why the card's receiver cannot be read.
enum class ReceiverFault {
    None,
    DriverMissing,    // the driver library is not found
    CardNotStarting,  // the library is there, but the card does not start
    DriverHung,       // a read has not come back
};

struct WindowFacts {
    bool readOnly = false;  // the profile file cannot be written now
    ReceiverFault receiver = ReceiverFault::None;
    bool learning = false;
    bool changed = false;      // changes not saved yet
    bool monitorRuns = false;  // the monitor reads the receiver now
    // What taking the last window noted (launch, the application the remote works
    // with, what was removed), until the next save or change of the applications;
    // the profile's names in its code page.
    std::string takeNotes;
};

// Why an action is off; None while it is on.
enum class OffReason {
    None,
    Learning,       // a learn is running: it ends first
    NoReceiver,     // the receiver cannot be read (WindowFacts::receiver)
    ReadOnly,       // the profile cannot be written
    NothingToSave,  // no change since the file was read or saved
};

struct WindowGate {
    OffReason learn = OffReason::None;  // Learn and Learn all (which reads Stop while learning)
    OffReason save = OffReason::None;
    OffReason saveAs = OffReason::None;
};

// A receiver fault goes before a read-only file for Learn: Save as cures only the
// second, and the owner is told the lasting one.
WindowGate GateWindow(const WindowFacts& facts);

// `driver` is the card driver's file name ("QRD210DE.DLL") in the words below.

// "the card driver QRD210DE.DLL is missing"; empty without a fault.
std::string ReceiverFaultWords(ReceiverFault fault, const std::string& driver);

// Why `action` ("Learn", "Save") is off, for the status line; empty while it is on.
std::string WhyOff(const std::string& action, OffReason reason, const WindowFacts& facts,
                   const std::string& driver);

// The banner: one line per message that holds, the read-only file first, then the
// receiver, then the notes of the window taken last or else `lastSave` (the last
// Save's result in words, when there was one): the newer of the two.
std::string BannerText(const WindowFacts& facts, const std::string& driver, const std::string& lastSave);

// The receiver line above the key list: short enough for one line of the window.
std::string ReceiverLine(const WindowFacts& facts, const std::string& driver);

// The status line's first words: what to do first, never to learn when Learn is off.
std::string Greeting(const WindowFacts& facts);

// A receiver fault goes first in "What is wrong", with what to do about it.
void PutReceiverFinding(std::vector<FindingRow>& findings, ReceiverFault fault, const std::string& driver);

}  // namespace qrtl::setup
