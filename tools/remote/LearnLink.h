// The set-up window's hands on the card receiver: taken only for a learn (the
// running monitor closed first: only one program may read it), its reads taken
// off the worker's message, a hung read looked for on a timer. What a read, a
// refusal or a hang means is the model's (setup/RemoteSession.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "ControlView.h"
#include "MonitorLink.h"
#include "setup/RemoteSession.h"
#include "setup/win32/CardReceiver.h"

namespace remote {

// The worker's message (a read is waiting) and the hang check's timer.
constexpr UINT kMsgRead = WM_APP + 1;
constexpr UINT_PTR kTimerHang = 1;

// How the receiver came for a learn.
enum class ReceiverTaken {
    Open,     // open already
    Opened,   // opened now: the monitor may have been closed for it
    Refused,  // the owner told why
    Faulted,  // the card failed to open: the model knows the fault
};

class LearnLink {
public:
    LearnLink(qrtl::setup::RemoteSession& session, const HWND& dlg, const ControlView& view, MonitorLink& monitors)
        : session_(session), dlg_(dlg), view_(view), monitors_(monitors) {}
    LearnLink(const LearnLink&) = delete;
    LearnLink& operator=(const LearnLink&) = delete;

    // At the start, with no monitor holding it: a card that does not open turns
    // learning off. Another tool reading it now is no fault: asked again at Learn.
    void Probe();
    ReceiverTaken Take();
    // The worker started reading; false with the owner told.
    bool Read();
    // The owner told why learning cannot start.
    void Refuse(qrtl::setup::ReceiverRefusal refusal) const;
    // Each read waiting, into `read`.
    void TakeReads(const std::function<void(bool got, std::uint32_t code)>& read);
    // The receiver's part of a step: the hang timer, the worker let go or abandoned.
    void Follow(const qrtl::setup::SessionStep& step);
    DWORD ReadRunningForMs() const { return receiver_.ReadRunningForMs(); }
    bool Stuck() const { return receiver_.Stuck(); }
    void Close() { receiver_.Close(); }

private:
    qrtl::setup::RemoteSession& session_;
    const HWND& dlg_;
    const ControlView& view_;
    MonitorLink& monitors_;
    qrtl::win32::CardReceiver receiver_;
};

}  // namespace remote
