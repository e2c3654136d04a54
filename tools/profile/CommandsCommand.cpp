// QRTLProfile commands: what the monitor can post to the TV application (its menu
// commands, controls and keys), a command suggested for each remote key, and with
// --write those suggestions in the client's key map where a key has none yet.
#include <windows.h>

#include <algorithm>

#include "config/ProfileReader.h"
#include "config/QRTLIRSet.h"
#include "setup/AppCommands.h"
#include "setup/FillPlan.h"
#include "setup/ResourceMenus.h"
#include "setup/win32/Win32AppCommands.h"
#include "setup/win32/Win32ClientWindow.h"
#include "platform/win32/Win32Desktop.h"
#include "tools/profile/ProfileFiles.h"
#include "tools/profile/ProfileTool.h"
#include "tools/profile/TargetWindow.h"
#include "trace/Trace.h"

namespace profiletool {

namespace {

using qrtl::setup::AppCatalog;
using qrtl::setup::CommandSource;

std::string Joined(const std::vector<std::string>& words, const char* separator) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : separator) + word;
    return text;
}

// The application's texts as printed: its control characters escaped as the trace
// viewer shows them, so that no text can make a line of its own in output meant to
// be pasted into a profile.
std::string Shown(const std::string& text) { return EscapeControlText(text); }

// "-> #8005 Channel > Next channel", or "-> #8005" when no menu names it.
std::string Target(const AppCatalog& catalog, uint32_t id) {
    std::string text = "-> " + qrtl::setup::CommandIdText(id);
    if (const auto* menu = catalog.FindMenu(id)) text += " " + Shown(menu->path);
    return text;
}

void PrintCatalog(const AppCatalog& catalog) {
    for (const auto& m : catalog.menus)
        Say("; menu " + qrtl::setup::CommandIdText(m.id) + " " + Shown(m.path) +
            (m.shortcut.empty() ? "" : "  [" + Shown(m.shortcut) + "]") + "  (" +
            qrtl::setup::SourceName(m.source) + ")");
    for (const auto& c : catalog.controls)
        Say("; control " + qrtl::setup::CommandIdText(c.id) + " " + Shown(c.text) + "  (" + Shown(c.className) +
            ")");
    for (const auto& k : catalog.keys) {
        const char* origin = k.source == CommandSource::ShortcutText ? "shortcut" : "accelerator";
        const std::string target = k.commandId != 0 ? " " + Target(catalog, k.commandId) : "";
        if (k.key.Postable())
            Say("; key " + qrtl::setup::KeyCommandText(k.key) + " " + qrtl::setup::KeyStrokeText(k.key) +
                target + "  (" + origin + ")");
        else
            Say("; key " + qrtl::setup::KeyStrokeText(k.key) + target + "  (" + origin +
                "; not postable: one WM_KEYDOWN carries no Ctrl, Alt or Shift)");
    }
}

}  // namespace

int RunCommands(const std::vector<std::string>& args) {
    TargetOptions o;
    std::string profile;
    std::string bytes;
    if (const int status = PrepareTarget("commands", args, o, profile, bytes); status != kExitOk) return status;
    const qrtl::ProfileDocument document = qrtl::ProfileDocument::Parse(bytes);
    std::string item;
    if (o.write) {
        item = document.GetString(profile::kClient, profile::KeyName(profile::kItem, o.client));
        if (item.empty()) {
            Fail(profile + " has no " + profile::KeyName(profile::kItem, o.client) + ": make the application client " +
                 std::to_string(o.client) + " first (window --write " + std::to_string(o.client) +
                 "): nothing written");
            return kExitFailed;
        }
    }
    const HWND target = FindTargetWindow(o);
    if (target == nullptr) return kExitFailed;

    qrtl::win32::Win32Desktop desktop;
    const std::string windowItem = qrtl::win32::ItemOfWindow(desktop, target);
    if (!o.write) {
        item = windowItem;
    } else if (windowItem.find(item) == std::string::npos) {
        // The monitor takes a window for the client only when its program's name holds the item.
        Note(profile::KeyName(profile::kItem, o.client) + "=" + item + " is not part of this window's program name " +
             windowItem + ": the monitor would not send these commands to it");
    }
    std::string exePath;
    const AppCatalog catalog = qrtl::win32::ReadAppCatalog(target, exePath);

    Say("; TV application: " + DescribeWindow(desktop, target));
    Say("; executable: " + (exePath.empty() ? std::string("not found (no module snapshot of its process)")
                                            : Shown(exePath)));
    for (const std::string* note : {&catalog.liveMenuNote, &catalog.resourceNote, &catalog.controlsNote})
        if (!note->empty()) Say("; " + Shown(*note));
    if (catalog.menusCut)
        Say("; the menus hold more than " + std::to_string(qrtl::setup::kMaxMenuItems) +
            " commands or paths too long: only the first are listed");
    if (catalog.Empty()) {
        Fail("the window has no menu, no accelerators and no controls with a text: nothing the "
             "monitor could post was found");
        return kExitWarnings;
    }
    PrintCatalog(catalog);

    const std::vector<qrtl::setup::Suggestion> suggestions = qrtl::setup::SuggestCommands(catalog);
    const std::string section = profile::kClientSectionPrefix + item;
    Say(";");
    Say("; suggested for [" + section + "]:");
    std::vector<std::string> unmatched;
    for (int k = 0; k < kRemoteKeyCount; ++k) {
        const std::string key = RemoteKeyNames[k];
        const auto it = std::find_if(suggestions.begin(), suggestions.end(),
                                     [&](const auto& s) { return s.key == key; });
        if (it == suggestions.end()) unmatched.push_back(key);
    }
    for (const auto& s : suggestions) {
        Say(s.key + "=" + s.best.commandText + "  ; " + Shown(s.best.what));
        std::vector<std::string> others;
        for (const auto& alternative : s.alternatives)
            others.push_back(alternative.commandText + " " + Shown(alternative.what));
        if (!others.empty()) Say(";   other choices for " + s.key + ": " + Joined(others, ", "));
    }
    if (!unmatched.empty()) Say("; no command found for: " + Joined(unmatched, ", "));

    if (o.write) {
        const qrtl::setup::FillPlan plan = qrtl::setup::PlanFill(suggestions, document, section);
        std::vector<qrtl::setup::ProfileChange> keys;
        std::vector<std::string> written;
        std::vector<std::string> left;
        for (const auto& fill : plan.filled) {
            keys.push_back({section, fill.key, fill.command});
            written.push_back(fill.key);
        }
        for (const auto& kept : plan.kept) left.push_back(kept.key + "=" + kept.command);
        if (!keys.empty()) {
            if (!WriteProfileKeys(profile, keys)) return kExitFailed;
            Say("; written into [" + section + "] of " + profile + ": " + Joined(written, ", ") +
                " (the previous file is " + profile + ".bak)");
        } else {
            Say("; nothing written into " + profile + ": every suggested key has a command already");
        }
        if (!left.empty()) Say("; left as they were (a command is never replaced): " + Joined(left, ", "));
    }
    return kExitOk;
}

}  // namespace profiletool
