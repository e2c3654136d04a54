#include "setup/PressDetector.h"

#include <utility>

namespace qrtl::setup {

void PressDetector::Start(std::vector<int> keys) {
    keys_ = std::move(keys);
    at_ = 0;
    quietLeft_ = kQuietSampleReads;
    releaseLeft_ = 0;
    quiet_.clear();
    held_ = -1;
    done_.clear();
}

PressDetector::Event PressDetector::OnRead(bool got, uint32_t code) {
    if (!Active()) return Event::None;
    if (quietLeft_ > 0) {
        // What the receiver gives while no key is pressed is never taken for a key.
        if (got) quiet_.insert(code);
        return --quietLeft_ == 0 ? Event::Ready : Event::None;
    }
    const bool released = !got || quiet_.count(code) != 0;
    if (releaseLeft_ > 0) {
        // The next key is asked for once the last one is let go, so that a press
        // right after the prompt is never one with the last key's hold.
        held_ = released ? -1 : static_cast<long>(code);  // another code meanwhile is taken as held too
        if (!released && --releaseLeft_ > 0) return Event::None;
        releaseLeft_ = 0;
        return Event::Ready;
    }
    if (released) {
        held_ = -1;
        return Event::None;
    }
    // Still the same press, also across keys: a key held into the next prompt is
    // not taken for the next key. A different code is a new press.
    if (static_cast<long>(code) == held_) return Event::None;
    held_ = static_cast<long>(code);
    code_ = code;
    return Event::Pressed;
}

PressDetector::Event PressDetector::OnReadRunning(unsigned ms) {
    if (!Active() || ms < kReadHangMs) return Event::None;
    Stop();
    return Event::Hung;
}

bool PressDetector::Next(bool learned) {
    if (!Active()) return false;
    done_.push_back({keys_[at_], learned});
    ++at_;
    releaseLeft_ = learned ? kReleaseWaitReads : 0;
    return Active();
}

}  // namespace qrtl::setup
