// The set-up window with a profile it cannot write: Learn and Save stay off (what
// is learned could not be kept, and learning closes the monitor) until the file
// becomes writable or Save as... has written the owner's work to a copy, which the
// window then works on. The decisions are the set-up core's; this file follows the
// file and says them.
#include <string>

#include "Banner.h"
#include "tools/common/MonitorControl.h"
#include "RemoteWindow.h"
#include "UiText.h"
#include "driver/CardDriver.h"
#include "product.h"

namespace remote {

namespace {

bool SamePath(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

}  // namespace

qrtl::setup::WindowFacts RemoteWindow::Facts() const {
    qrtl::setup::WindowFacts facts;
    facts.readOnly = readOnly_;
    facts.receiver = receiverFault_;
    facts.learning = learnIndex_ >= 0;
    facts.changed = profile_.Changed();
    facts.monitorRuns = tools::FindMonitor() != nullptr;
    return facts;
}

bool RemoteWindow::RecheckWritable() {
    const bool readOnly = !ProfileWritable(profilePath_);
    if (readOnly != readOnly_) {
        readOnly_ = readOnly;
        ShowClient();
        EnableButtons();
    }
    return !readOnly_;
}

bool RemoteWindow::LearnAllowed() {
    RecheckWritable();
    const qrtl::setup::WindowFacts facts = Facts();
    const qrtl::setup::OffReason off = qrtl::setup::GateWindow(facts).learn;
    if (off == qrtl::setup::OffReason::None) return true;
    Live(qrtl::setup::WhyOff("Learn", off, facts, CardDriverFileName()));
    return false;
}

bool RemoteWindow::SaveAs() {
    StopLearning("");
    const std::string path = AskCopyPath(dlg_, profilePath_);
    if (path.empty()) {
        Live("Not saved: no file chosen.");
        return false;
    }
    std::string why;
    if (!WriteProfileCopy(path, profile_.Text(), why)) {
        const std::string words = "Not saved as " + FromAnsi(path) + ": " + FromAnsi(why) + ".";
        Ask(dlg_, words + "\n\nYour changes are still in this window.", MB_OK | MB_ICONEXCLAMATION);
        banner_.SaveResult(words);
        ShowClient();
        Live(words);
        return false;
    }
    profilePath_ = path;
    readOnly_ = !ProfileWritable(path);
    profile_.MarkSaved();
    savedText_ = profile_.Text();
    std::string words = "Saved as " + FromAnsi(path) + "; this window works on that file now.";
    // The monitor reads only the profile beside it.
    const std::string monitorProfile = tools::ProgramFolder() + product::kProfileName;
    if (!SamePath(path, monitorProfile))
        words += " The monitor reads " + FromAnsi(monitorProfile) + ": copy this file there for it to use.";
    if (ReleaseReceiver()) words += " The monitor runs again.";
    banner_.SaveResult(words);
    Refresh();
    Live(words);
    return true;
}

}  // namespace remote
