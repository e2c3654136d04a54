// Learning remote keys from the card's receiver, read by read, for both set-up
// tools: the receiver is first listened to while no key is pressed (some receivers
// repeat a code of their own), then each key of the run waits for a press. A key
// held down gives its code on several reads: it counts once, until a read without
// it. The tools only feed the reads and say the events in their own words.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

namespace qrtl::setup {

// Time between two reads of the receiver.
constexpr unsigned kLearnReadIntervalMs = 100;
// Reads of the quiet receiver before the first key: one second.
constexpr int kQuietSampleReads = 10;
// Reads that wait for a learned key's release before the next key is asked for:
// two seconds. A key held longer is asked for anyway; its code still counts only
// after a release.
constexpr int kReleaseWaitReads = 20;
// A read that runs this long: the driver is taken for hung and learning stops.
constexpr unsigned kReadHangMs = 5000;
constexpr unsigned kReadHangSeconds = kReadHangMs / 1000;

class PressDetector {
public:
    enum class Event {
        None,     // nothing to tell
        Ready,    // ask for the key: the quiet receiver is known, the last key released
        Pressed,  // a new press: its code is Code()
        Hung,     // the driver has not answered a read: learning has stopped
    };

    // Learns `keys` (remote key indices) in this order; listens to the quiet
    // receiver first. Nothing is held at the start.
    void Start(std::vector<int> keys);
    // One read: `got` false when the read gave no code (no key, or a failed read).
    Event OnRead(bool got, uint32_t code);
    // How long the read in progress has been running.
    Event OnReadRunning(unsigned ms);

    // The key being learned is done (it got a code, or was skipped); true when
    // another key follows, false when the run has ended. After a code the next key
    // waits for the release (Ready), after a skip it is asked for at once.
    bool Next(bool learned);
    // Ends the run: the keys not reached yet are not done.
    void Stop() { at_ = keys_.size(); }

    bool Active() const { return at_ < keys_.size(); }
    // The key being learned; -1 when none.
    int Key() const { return Active() ? keys_[at_] : -1; }
    bool LastKey() const { return at_ + 1 >= keys_.size(); }
    bool Sampling() const { return Active() && quietLeft_ > 0; }
    // Not ready for a key yet: sampling, or waiting for the last key's release.
    bool Waiting() const { return Sampling() || (Active() && releaseLeft_ > 0); }
    uint32_t Code() const { return code_; }
    const std::set<uint32_t>& Quiet() const { return quiet_; }

    // The keys of the run that are done, in order, and whether each got a code.
    struct Done {
        int key;
        bool learned;
    };
    const std::vector<Done>& DoneKeys() const { return done_; }

private:
    std::vector<int> keys_;
    std::size_t at_ = 0;
    int quietLeft_ = 0;
    int releaseLeft_ = 0;
    std::set<uint32_t> quiet_;
    long held_ = -1;  // the code of the key held down, -1 when released
    uint32_t code_ = 0;
    std::vector<Done> done_;
};

}  // namespace qrtl::setup
