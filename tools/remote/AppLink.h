// The set-up window's hands on the TV application: a window taken for the edited
// entry, what it is and its commands read on a worker (a slow application or a
// large program file must not freeze the window), and the commands read again for
// another entry. What is taken and asked is the model's (setup/SessionApps.h).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "CatalogRead.h"
#include "ControlView.h"
#include "setup/RemoteSession.h"

namespace remote {

class AppLink {
public:
    AppLink(qrtl::setup::RemoteSession& session, const HWND& dlg, const ControlView& view)
        : session_(session), dlg_(dlg), view_(view) {}
    AppLink(const AppLink&) = delete;
    AppLink& operator=(const AppLink&) = delete;

    // The model's step for a window examined, and the window in words ("Chosen: ...").
    using Examined = std::function<void(const qrtl::setup::AppStep& step, const std::string& words)>;
    // Examines the top window of `target` (not this one, not one gone) on the worker.
    void Take(HWND target, const Examined& examined);
    // The edited application's commands, of its window or else of its program file;
    // `read` runs once the model has them.
    void ReadCommands(const std::function<void()>& read);
    bool ReadingFile() const { return reader_.ReadingFile(); }

private:
    qrtl::setup::RemoteSession& session_;
    const HWND& dlg_;
    const ControlView& view_;
    CatalogReader reader_;
};

}  // namespace remote
