// The key buttons besides learning: Action..., Test and Clear... on the selected
// key. The model refuses and words; this opens the dialogs and posts the test key.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "setup/RemoteSession.h"

namespace remote {

// What a key button did: the profile changed (the rows already shown anew, the key
// to select again), and the status line.
struct KeyDone {
    bool changed = false;
    std::string live;  // empty: the status line stays
};

class KeyButtons {
public:
    // `refresh` shows the model anew after an edit: the words then read the new rows.
    KeyButtons(qrtl::setup::RemoteSession& session, const HWND& dlg, std::function<void()> refresh)
        : session_(session), dlg_(dlg), refresh_(std::move(refresh)) {}
    KeyButtons(const KeyButtons&) = delete;
    KeyButtons& operator=(const KeyButtons&) = delete;

    // Each on key row `index`; nothing for a row that is not there.
    KeyDone Action(int index) const;
    KeyDone Test(int index) const;
    KeyDone Clear(int index) const;

private:
    bool Row(int index) const { return index >= 0 && static_cast<std::size_t>(index) < session_.Rows().size(); }

    qrtl::setup::RemoteSession& session_;
    const HWND& dlg_;
    std::function<void()> refresh_;
};

}  // namespace remote
