// The set-up window's ending: Save, Save as... and Close, and a profile it cannot
// write. The model decides what each does and says (setup/SessionSave.h); the
// profile's side (ProfileAccess.h) writes, the monitor link restarts.
#include <string>

#include "ProfileAccess.h"
#include "RemoteWindow.h"
#include "UiText.h"
#include "setup/win32/SafeProfileWrite.h"

namespace remote {

bool RemoteWindow::RecheckWritable(bool glance) {
    if (session_.WritableNow(ProfileWritableNow(profilePath_, glance, session_.ReadOnly()))) {
        ShowClient();
        EnableButtons();
    }
    return !session_.ReadOnly();
}

void RemoteWindow::TellSave(const qrtl::setup::SaveWords& words, bool monitorStarted) {
    if (!words.alert.empty()) Ask(dlg_, FromAnsi(words.alert), MB_OK | MB_ICONEXCLAMATION);
    session_.SaveSaid(FromAnsi(words.banner), words.holds);
    Refresh();
    const std::string live = FromAnsi(words.live);
    view_.Live(live);
    if (monitorStarted) monitors_.SayWhenShows(live);
}

bool RemoteWindow::SaveAs() {
    Follow(session_.Stop("", false));
    const std::string path = AskCopyPath(dlg_, profilePath_);
    if (path.empty()) {
        view_.Live(qrtl::setup::kNoFileChosen);
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
    TellSave(qrtl::setup::SavedAsWords(FileAt(path)), started);
    return true;
}

bool RemoteWindow::Save() {
    Follow(session_.Stop("", false));
    const bool changed = session_.Profile().Changed();
    switch (qrtl::setup::SaveWayFor(changed, !changed || RecheckWritable())) {
    case qrtl::setup::SaveWay::NothingToSave:
        view_.Live(qrtl::setup::kNothingToSave);
        return true;
    case qrtl::setup::SaveWay::SaveAs:
        return SaveAs();
    case qrtl::setup::SaveWay::Write:
        break;
    }
    // Another writer (the monitor's setup dialog, QRTLProfile) may have changed the
    // file since it was read: only the owner's own changes go into it.
    std::string error;
    std::string savedText;
    if (!WriteOwnersChanges(dlg_, profilePath_, session_.SavedText(), session_.Profile().Changes(), savedText, error)) {
        TellSave(qrtl::setup::SaveFailedWords(error));
        return false;
    }
    session_.Saved(savedText);
    const bool closedToLearn = session_.MonitorClosedToLearn();
    const bool started = ReleaseReceiver();
    const qrtl::setup::SavedFile file = FileAt(profilePath_);
    const qrtl::setup::ChangesTaken taken = monitors_.RestartForChanges(closedToLearn, file.monitors);
    TellSave(qrtl::setup::SavedWords(file, profilePath_ + qrtl::win32::kBackupSuffix, taken), started);
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
        const qrtl::setup::CloseNext next = qrtl::setup::AfterCloseReply(reply);
        if (next == qrtl::setup::CloseNext::Stay || (next == qrtl::setup::CloseNext::SaveFirst && !Save())) return;
    }
    session_.BeginClosing();
    ReleaseReceiver();
    learn_.Close();
    ::DestroyWindow(dlg_);
}

}  // namespace remote
