// QRTLProfile window: the client lines of the TV application's main window, proved
// with the monitor's own window search, and with --write the complete client:
// Default, Control, the description and the launch lines as well, planned as the
// set-up window takes a window.
#include <windows.h>

#include "config/ProfileReader.h"
#include "config/QRTLIRSet.h"
#include "config/ProfileKeys.h"
#include "setup/ClientSlots.h"
#include "setup/SlotWords.h"
#include "setup/win32/Win32ClientWindow.h"
#include "platform/win32/Win32Config.h"
#include "platform/win32/Win32Desktop.h"
#include "tools/profile/ProfileFiles.h"
#include "tools/profile/ProfileTool.h"
#include "tools/profile/TargetWindow.h"
#include "trace/Trace.h"

namespace profiletool {

namespace {

using qrtl::setup::ProfileChange;

HWND AsHwnd(qrtl::WindowHandle hWnd) { return reinterpret_cast<HWND>(hWnd); }

}  // namespace

int RunWindow(const std::vector<std::string>& args) {
    TargetOptions o;
    std::string profile;
    std::string bytes;
    if (const int status = PrepareTarget("window", args, o, profile, bytes); status != kExitOk) return status;
    const HWND target = FindTargetWindow(o);
    if (target == nullptr) return kExitFailed;

    qrtl::win32::Win32Desktop desktop;
    qrtl::win32::Win32Registry registry;
    bool unique = false;
    int idCount = 0;
    const qrtl::setup::ClientWindowFacts facts =
        qrtl::win32::ExamineClientWindow(desktop, registry, target, unique, idCount);
    if (idCount < qrtl::setup::kClientChildCount)
        Fail("the window has only " + std::to_string(idCount) +
             " controls with ids: the search by controls cannot tell it apart (0 stands for none)");
    else if (!unique)
        Fail("another window has all three controls too: the search by controls may take it");

    const int32_t n = o.client;
    const qrtl::ProfileDocument current = qrtl::ProfileDocument::Parse(bytes);
    // The set-up window's plan: the replaced application's key map and the owner's
    // name for the same application are handled alike.
    const qrtl::setup::SlotTakePlan plan = qrtl::setup::PlanTakeWindow(n, facts, current);
    std::vector<ProfileChange> clientLines;
    std::vector<ProfileChange> byControls;
    const std::string captionKey = profile::KeyName(profile::kCaption, n);
    const std::string classKey = profile::KeyName(profile::kClassName, n);
    for (const ProfileChange& change : plan.changes) {
        if (change.kind != qrtl::setup::ChangeKind::Set || change.section != profile::kClient) continue;
        // Escaped as commands prints the application's texts: a caption's control
        // characters never reach the terminal, nor make a line of their own.
        Say(EscapeControlText(change.key + "=" + change.value));
        clientLines.push_back(change);
        if (change.key != captionKey && change.key != classKey) byControls.push_back(change);
    }

    // Proof lines are comments, so the output can go into a profile as it is.
    const HWND found = AsHwnd(qrtl::setup::SearchWithLines(clientLines, n, desktop));
    const HWND foundByControls = AsHwnd(qrtl::setup::SearchWithLines(byControls, n, desktop));
    Say("; picked window: " + DescribeWindow(desktop, target));
    auto verdict = [&](HWND hWnd) {
        if (hWnd == target) return std::string("this window");
        if (hWnd == nullptr) return std::string("NO window");
        return "ANOTHER window, " + DescribeWindow(desktop, hWnd);
    };
    Say("; the monitor's search with these lines finds " + verdict(found));
    Say("; by its controls alone (without caption and class) it finds " + verdict(foundByControls));
    if (found != target) Fail("these lines do not lead the monitor to the picked window");
    // The names and titles in the notes are the application's texts too.
    if (plan.replace.ask)
        Say("; " + EscapeControlText(plan.app + " replaces " + plan.replace.oldApp + " as client " + std::to_string(n)));
    for (const qrtl::setup::SlotNote& note : plan.notes) Say("; " + EscapeControlText(qrtl::setup::SlotNoteWords(note)));

    if (o.write) {
        if (!WriteProfileKeys(profile, plan.changes)) return kExitFailed;
        Say("; written as client " + std::to_string(n) + " into " + profile + " (the previous file is " +
            profile + ".bak)");
    }
    return found == target ? kExitOk : kExitWarnings;
}

}  // namespace profiletool
