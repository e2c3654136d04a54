#include "LearnLink.h"

#include "driver/CardDriver.h"

namespace remote {

namespace {

using qrtl::win32::ReceiverOpen;

constexpr UINT kHangCheckMs = 250;

qrtl::setup::ReceiverFault FaultOf(ReceiverOpen opened) {
    return opened == ReceiverOpen::NoCard ? qrtl::setup::ReceiverFault::CardNotStarting
                                          : qrtl::setup::ReceiverFault::DriverMissing;
}

}  // namespace

void LearnLink::Probe() {
    if (!receiver_.TakeLock()) return;
    const ReceiverOpen opened = receiver_.Open();
    if (opened != ReceiverOpen::Ok) session_.ReceiverFailed(FaultOf(opened));
    receiver_.Close();
}

void LearnLink::Refuse(qrtl::setup::ReceiverRefusal refusal) const {
    view_.Tell(qrtl::setup::LearnRefused(refusal, session_.Fault(), CardDriverFileName()));
}

ReceiverTaken LearnLink::Take() {
    using qrtl::setup::ReceiverRefusal;
    const auto refuse = [this](ReceiverRefusal refusal) {
        Refuse(refusal);
        return ReceiverTaken::Refused;
    };
    if (session_.Fault() != qrtl::setup::ReceiverFault::None) return refuse(ReceiverRefusal::Fault);
    if (receiver_.IsOpen()) return ReceiverTaken::Open;
    if (receiver_.Busy()) return refuse(ReceiverRefusal::Busy);
    if (!receiver_.TakeLock()) return refuse(ReceiverRefusal::OtherTool);
    // Asked before each learn: a monitor started since the last one reads it too.
    if (!monitors_.CloseToLearn()) {
        receiver_.Close();
        return ReceiverTaken::Refused;
    }
    const ReceiverOpen opened = receiver_.Open();
    if (opened == ReceiverOpen::Ok) return ReceiverTaken::Opened;
    receiver_.Close();
    session_.ReceiverFailed(FaultOf(opened));
    return ReceiverTaken::Faulted;
}

bool LearnLink::Read() {
    if (receiver_.Start(dlg_, kMsgRead)) return true;
    receiver_.Close();
    Refuse(qrtl::setup::ReceiverRefusal::Busy);
    return false;
}

void LearnLink::TakeReads(const std::function<void(bool, std::uint32_t)>& read) {
    bool got = false;
    std::uint32_t code = 0;
    while (receiver_.TakeRead(got, code)) read(got, code);
    // A worker released during a read has left: the lock goes back now.
    if (!session_.Learning()) receiver_.Busy();
}

void LearnLink::Follow(const qrtl::setup::SessionStep& step) {
    if (step.learningStarted) ::SetTimer(dlg_, kTimerHang, kHangCheckMs, nullptr);
    if (step.learningEnded) ::KillTimer(dlg_, kTimerHang);
    if (step.receiver == qrtl::setup::ReceiverStep::Release) receiver_.Release();
    if (step.receiver == qrtl::setup::ReceiverStep::Abandon) receiver_.Abandon();
}

}  // namespace remote
