#include "setup/WindowGate.h"

#include "setup/PressDetector.h"

namespace qrtl::setup {

namespace {

constexpr char kSaveAs[] = "Save as...";

std::string HangWords() { return std::to_string(kReadHangSeconds) + " s"; }

// What the owner does about a receiver fault.
std::string ReceiverRemedy(ReceiverFault fault) {
    switch (fault) {
    case ReceiverFault::DriverMissing: return "install the card's driver";
    case ReceiverFault::CardNotStarting: return "check the card and its driver";
    case ReceiverFault::DriverHung: return "check the card, then start the set-up again";
    case ReceiverFault::None: break;
    }
    return {};
}

std::string FirstUpper(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

}  // namespace

WindowGate GateWindow(const WindowFacts& facts) {
    WindowGate gate;
    if (facts.learning) {
        gate.learn = gate.save = gate.saveAs = OffReason::Learning;
        return gate;
    }
    if (facts.receiver != ReceiverFault::None)
        gate.learn = OffReason::NoReceiver;
    else if (facts.readOnly)
        gate.learn = OffReason::ReadOnly;  // what it learns could not be kept, and it closes the monitor
    if (facts.readOnly)
        gate.save = OffReason::ReadOnly;
    else if (!facts.changed)
        gate.save = OffReason::NothingToSave;
    return gate;
}

std::string ReceiverFaultWords(ReceiverFault fault, const std::string& driver) {
    switch (fault) {
    case ReceiverFault::DriverMissing: return "the card driver " + driver + " is missing";
    case ReceiverFault::CardNotStarting: return "the card does not start (its driver " + driver + " is there)";
    case ReceiverFault::DriverHung: return "the card driver has not answered a read for " + HangWords();
    case ReceiverFault::None: break;
    }
    return {};
}

std::string WhyOff(const std::string& action, OffReason reason, const WindowFacts& facts,
                   const std::string& driver) {
    switch (reason) {
    case OffReason::None: return {};
    case OffReason::Learning: return action + " waits: stop learning first (Escape).";
    case OffReason::NoReceiver:
        return action + " is off: " + ReceiverFaultWords(facts.receiver, driver) + "; " +
               ReceiverRemedy(facts.receiver) + ".";
    case OffReason::ReadOnly:
        return action + " is off: the profile is read-only. " + kSaveAs + " keeps your changes in a copy.";
    case OffReason::NothingToSave: return "Nothing to save.";
    }
    return {};
}

std::string BannerText(const WindowFacts& facts, const std::string& driver, const std::string& lastSave) {
    std::vector<std::string> lines;
    if (facts.readOnly)
        lines.push_back(std::string("The profile is read-only: Save and Learn are off. ") + kSaveAs +
                        " keeps your changes, or make it writable.");
    if (facts.receiver != ReceiverFault::None)
        lines.push_back(FirstUpper(ReceiverFaultWords(facts.receiver, driver)) + ": " +
                        ReceiverRemedy(facts.receiver) + ". Learn is off until then.");
    if (!facts.takeNotes.empty())
        lines.push_back(facts.takeNotes);
    else if (!lastSave.empty())
        lines.push_back(lastSave);
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

std::string ReceiverLine(const WindowFacts& facts, const std::string& driver) {
    if (facts.receiver != ReceiverFault::None)
        return "Learning is off: " + ReceiverFaultWords(facts.receiver, driver) + ".";
    // Not "ready": with the monitor running the receiver was not tried.
    if (facts.readOnly) return "Learning is off while the profile is read-only.";
    if (facts.monitorRuns) return "Learning: the monitor is using the remote now; Learn asks to close the monitor.";
    return "Learning: " + driver + " ready. Select a key and press Learn.";
}

std::string Greeting(const WindowFacts& facts) {
    if (facts.readOnly) return std::string("The profile is read-only: look and try, or keep your changes with ") +
                               kSaveAs;
    if (facts.receiver != ReceiverFault::None) return "Choose the TV application and the keys' actions.";
    return "Choose the TV application, then learn the keys of your remote.";
}

void PutReceiverFinding(std::vector<FindingRow>& findings, ReceiverFault fault, const std::string& driver) {
    if (fault == ReceiverFault::None) return;
    FindingRow row;
    row.text = FirstUpper(ReceiverFaultWords(fault, driver)) + ": " + ReceiverRemedy(fault);
    row.severity = Severity::Error;
    row.id = "receiver";
    findings.insert(findings.begin(), std::move(row));
}

}  // namespace qrtl::setup
