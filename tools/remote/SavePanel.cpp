// The set-up window's ending: Save, Save as... and Close, and a profile it cannot
// write. The model decides what each does and says (setup/SessionSave.h); this
// file makes the Win32 calls: the file dialog, the safe write, the message boxes.
#include <string>

#include "ProfileAccess.h"
#include "RemoteWindow.h"
#include "UiText.h"
#include "platform/win32/ProfileLock.h"
#include "product.h"
#include "setup/win32/SafeProfileWrite.h"
#include "tools/common/MonitorControl.h"

namespace remote {

namespace {

using qrtl::setup::SaveWay;

// The file at `path` and the one the monitor reads, which is only the profile beside it.
qrtl::setup::SavedFile FileAt(const std::string& path) {
    const std::string monitorProfile = tools::ProgramFolder() + product::kProfileName;
    const std::string full = qrtl::win32::FullPath(path);
    return {path, monitorProfile, ::lstrcmpiA(full.c_str(), qrtl::win32::FullPath(monitorProfile).c_str()) == 0};
}

}  // namespace

qrtl::setup::WindowFacts RemoteWindow::Facts() const { return session_.Facts(tools::FindMonitor() != nullptr); }

bool RemoteWindow::RecheckWritable(bool glance) {
    // A glance opens the file only when it may have become writable.
    const bool writable = glance && !session_.ReadOnly() ? !ProfileMarkedReadOnly(profilePath_)
                                                          : ProfileWritable(profilePath_);
    if (session_.WritableNow(writable)) {
        ShowClient();
        EnableButtons();
    }
    return !session_.ReadOnly();
}

std::string RemoteWindow::TellSave(const qrtl::setup::SaveWords& words) {
    if (!words.alert.empty()) Ask(dlg_, FromAnsi(words.alert), MB_OK | MB_ICONEXCLAMATION);
    session_.SaveSaid(FromAnsi(words.banner), words.holds);
    Refresh();
    const std::string live = FromAnsi(words.live);
    Live(live);
    return live;
}

bool RemoteWindow::SaveAs() {
    Follow(session_.Stop("", false));
    const std::string path = AskCopyPath(dlg_, profilePath_);
    if (path.empty()) {
        Live(qrtl::setup::kNoFileChosen);
        return false;
    }
    std::string why;
    if (!WriteWholeFile(path, session_.Profile().Text(), true, why)) {
        TellSave(qrtl::setup::SaveAsFailedWords(path, why));
        return false;
    }
    profilePath_ = path;
    session_.SavedAs(ProfileWritable(path));
    const bool started = ReleaseReceiver();
    const std::string said = TellSave(qrtl::setup::SavedAsWords(FileAt(path)));
    if (started) SayWhenMonitorShows(said);
    return true;
}

bool RemoteWindow::Save() {
    Follow(session_.Stop("", false));
    const bool changed = session_.Profile().Changed();
    switch (qrtl::setup::SaveWayFor(changed, !changed || RecheckWritable())) {
    case SaveWay::NothingToSave:
        Live(qrtl::setup::kNothingToSave);
        return true;
    case SaveWay::SaveAs:
        return SaveAs();
    case SaveWay::Write:
        break;
    }
    // Another writer (the monitor's setup dialog, QRTLProfile) may have changed the
    // file since it was read: only the owner's own changes go into it.
    const auto keepOurs = [&](const qrtl::setup::MergeConflict& conflict) {
        return Ask(dlg_, FromAnsi(qrtl::setup::ConflictQuestion(conflict)), MB_YESNO | MB_ICONQUESTION) == IDYES;
    };
    std::string error;
    std::string savedText;
    if (!qrtl::win32::WriteChangesSince(profilePath_, session_.SavedText(), session_.Profile().Changes(), keepOurs,
                                          savedText, error)) {
        TellSave(qrtl::setup::SaveFailedWords(error));
        return false;
    }
    session_.Saved(savedText);
    const bool closedToLearn = session_.MonitorClosedToLearn();
    const bool started = ReleaseReceiver();
    const qrtl::setup::SavedFile file = FileAt(profilePath_);
    const qrtl::setup::ChangesTaken taken = RestartMonitorForChanges(closedToLearn, file.monitors);
    const std::string said = TellSave(qrtl::setup::SavedWords(file, profilePath_ + qrtl::win32::kBackupSuffix, taken));
    if (started) SayWhenMonitorShows(said);
    return true;
}

void RemoteWindow::Close() {
    if (session_.Closing()) return;
    Follow(session_.Stop("", false));
    const bool changed = session_.Profile().Changed();
    const std::string question = qrtl::setup::CloseQuestion(changed, !changed || RecheckWritable(), profilePath_);
    if (!question.empty()) {
        const int answer = Ask(dlg_, FromAnsi(question), MB_YESNOCANCEL | MB_ICONQUESTION);
        using qrtl::setup::Reply;
        const Reply reply = answer == IDYES ? Reply::Yes : answer == IDNO ? Reply::No : Reply::Cancel;
        switch (qrtl::setup::AfterCloseReply(reply)) {
        case qrtl::setup::CloseNext::Stay:
            return;
        case qrtl::setup::CloseNext::SaveFirst:
            if (!Save()) return;
            break;
        case qrtl::setup::CloseNext::Close:
            break;
        }
    }
    session_.BeginClosing();
    ReleaseReceiver();
    receiver_.Close();
    ::DestroyWindow(dlg_);
}

}  // namespace remote
