// QRTLProfile learn: the remote's codes read key by key from the card's receiver,
// through the monitor's own driver loader, and written into [KeyMap_Controler].
#include <windows.h>

#include <cstdio>
#include <deque>

#include "config/ProfileReader.h"
#include "config/QRTLIRSet.h"
#include "setup/LearnedCodes.h"
#include "setup/PressDetector.h"
#include "setup/win32/CardReceiver.h"
#include "platform/win32/Handle.h"
#include "product.h"
#include "tools/profile/InputLineSplitter.h"
#include "tools/profile/ProfileFiles.h"
#include "tools/profile/ProfileTool.h"

namespace profiletool {

namespace {

struct LearnOptions {
    std::string profile;  // empty: the default beside the program
    std::vector<std::string> keys;
    std::string driver;
    long timeoutSeconds = 0;  // 0: wait for each key as long as it takes
};

bool ParseOptions(const std::vector<std::string>& args, LearnOptions& o) {
    bool profileGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--keys" && hasValue) {
            // Split by hand: a string stream would pull the whole locale machinery into the exe.
            const std::string& list = args[++i];
            for (std::size_t start = 0; start < list.size();) {
                std::size_t comma = list.find(',', start);
                if (comma == std::string::npos) comma = list.size();
                const std::string name = list.substr(start, comma - start);
                start = comma + 1;
                const int index = qrtl::setup::RemoteKeyIndex(name);
                if (index < 0) {
                    Fail("learn: \"" + name + "\" is not a remote key name");
                    return false;
                }
                o.keys.push_back(RemoteKeyNames[index]);
            }
        } else if (a == "--driver" && hasValue) {
            o.driver = args[++i];
        } else if (a == "--timeout" && hasValue) {
            if (!tools::ParseWholeNumber(args[++i], tools::kMaxOptionSeconds, o.timeoutSeconds) ||
                o.timeoutSeconds <= 0) {
                Fail("learn: --timeout takes a number of seconds from 1 to " +
                     std::to_string(tools::kMaxOptionSeconds));
                return false;
            }
        } else if (a.rfind("--", 0) != 0 && !profileGiven) {
            o.profile = a;
            profileGiven = true;
        } else {
            Fail("learn: unexpected \"" + a + "\"; see --help");
            return false;
        }
    }
    if (o.keys.empty()) o.keys.assign(std::begin(RemoteKeyNames), std::end(RemoteKeyNames));
    return true;
}

// Standard input read on a thread of its own, from the raw handle: a pipe cannot
// be peeked everywhere (not under Wine), a console read would block the receiver's
// polling, and a C library read would hold the stream's lock, which the end of the
// program waits for. The thread may still wait for input when the command ends:
// the object is never destroyed, and the process's end takes the thread down.
class InputLines {
public:
    static InputLines& Instance() {
        static InputLines* input = new InputLines;  // never destroyed: see above
        return *input;
    }
    bool Start() {
        if (thread_) return true;
        thread_.reset(::CreateThread(nullptr, 0, &InputLines::Run, this, 0, nullptr));
        return static_cast<bool>(thread_);
    }
    // The next whole line typed, if one is waiting.
    bool Next(std::string& line) {
        ::EnterCriticalSection(&lock_);
        const bool any = !lines_.empty();
        if (any) {
            line = lines_.front();
            lines_.pop_front();
        }
        ::LeaveCriticalSection(&lock_);
        return any;
    }

private:
    InputLines() { ::InitializeCriticalSection(&lock_); }

    static DWORD WINAPI Run(void* self) {
        auto* input = static_cast<InputLines*>(self);
        const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
        InputLineSplitter splitter;
        char chunk[256];
        DWORD got = 0;
        // Ends with the input: keys then end by their timeout only.
        while (::ReadFile(in, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            ::EnterCriticalSection(&input->lock_);
            splitter.Feed(chunk, got, input->lines_);
            ::LeaveCriticalSection(&input->lock_);
        }
        return 0;
    }

    CRITICAL_SECTION lock_;
    std::deque<std::string> lines_;
    qrtl::win32::UniqueHandleObj thread_;
};

// How often the command looks at the reads and the typed lines.
constexpr DWORD kPollMs = 20;

// "VOL+ (volume up)"
std::string InWords(int index) {
    return std::string(RemoteKeyNames[index]) + " (" + RemoteKeyLegend[index] + ")";
}

enum class RunEnd { Done, Quit, Hung, MonitorStarted };

// The keys of one run, asked in turn, with the press detector deciding what a
// read means; this class only says it in the console's words.
class Session {
public:
    Session(const LearnOptions& o, qrtl::win32::CardReceiver& receiver, InputLines& input,
            qrtl::setup::LearnedCodes& codes)
        : o_(o), receiver_(receiver), input_(input), codes_(codes) {}

    RunEnd Run() {
        std::vector<int> keys;
        for (const std::string& key : o_.keys) keys.push_back(qrtl::setup::RemoteKeyIndex(key));
        detector_.Start(keys);
        Say("Release all keys: listening to the receiver for one second ...");
        if (!receiver_.Start()) return RunEnd::Hung;  // only a worker still inside the driver refuses
        while (end_ == RunEnd::Done && detector_.Active()) {
            if (!detector_.Waiting()) {
                TakeTypedLine();
                CheckTimeout();
            }
            bool got = false;
            uint32_t code = 0;
            while (end_ == RunEnd::Done && detector_.Active() && receiver_.TakeRead(got, code)) {
                const Event event = detector_.OnRead(got, code);
                if (event == Event::Ready) {
                    if (!sampled_ && detector_.Quiet().size() > 1)
                        Say("  the receiver is not quiet; its codes of that second are taken as no key");
                    sampled_ = true;
                    Prompt();
                } else if (event == Event::Pressed) {
                    OnPress();
                }
            }
            if (end_ == RunEnd::Done && detector_.OnReadRunning(receiver_.ReadRunningForMs()) == Event::Hung) {
                receiver_.Abandon();
                return RunEnd::Hung;
            }
            ::Sleep(kPollMs);
        }
        return end_;
    }
    const qrtl::setup::PressDetector& Detector() const { return detector_; }

private:
    using Event = qrtl::setup::PressDetector::Event;

    void End(RunEnd end) {
        end_ = end;
        detector_.Stop();
    }

    // Asks for the key being learned. A monitor started meanwhile would take the
    // codes away, so each key checks again.
    void Prompt() {
        if (!detector_.Active()) return;
        if (MonitorRunning()) return End(RunEnd::MonitorStarted);
        Say("Press " + InWords(detector_.Key()) + " ...");
        start_ = ::GetTickCount();
        offered_.clear();
    }
    // The key being learned is done; the next one is asked for now, or after the
    // release of the last one (Ready).
    void Done(bool learned) {
        if (detector_.Next(learned) && !detector_.Waiting()) Prompt();
    }

    void TakeTypedLine() {
        std::string line;
        if (!detector_.Active() || !input_.Next(line)) return;
        const std::string key = RemoteKeyNames[detector_.Key()];
        if (line.empty()) {
            Say("  " + key + " skipped");
            return Done(false);
        }
        if (line == "q" || line == "Q") return End(RunEnd::Quit);
        if ((line == "r" || line == "R") && !offered_.empty()) {
            const auto result = codes_.Assign(detector_.Key(), offered_, true);
            Say("  " + key + " = " + offered_ + ", taken over: " +
                (result.holder >= 0 ? std::string(RemoteKeyNames[result.holder]) : "the other key") +
                " has no code now");
            return Done(true);
        }
        Say("  (an empty line skips " + key + ", q quits" +
            (offered_.empty() ? std::string(")") : ", r takes code " + offered_ + " over)"));
    }

    void CheckTimeout() {
        if (!detector_.Active() || o_.timeoutSeconds <= 0 ||
            ::GetTickCount() - start_ < static_cast<DWORD>(o_.timeoutSeconds) * 1000u)
            return;
        Say("  " + std::string(RemoteKeyNames[detector_.Key()]) + " skipped: no code in " +
            std::to_string(o_.timeoutSeconds) + " s");
        Done(false);
    }

    void OnPress() {
        const int index = detector_.Key();
        const std::string key = RemoteKeyNames[index];
        const std::string code = FormatIrCode(detector_.Code());
        const auto result = codes_.Assign(index, code, false);
        if (result.outcome != qrtl::setup::LearnedCodes::Outcome::Taken) {
            Say("  " + key + " = " + code +
                (result.outcome == qrtl::setup::LearnedCodes::Outcome::Same ? " (as before)" : ""));
            return Done(true);
        }
        // One code, one key: the monitor would take it for the other key only.
        offered_ = code;
        Say("  code " + code + " is already " + InWords(result.holder) + "; press " + key +
            " again, or type r to take the code over");
    }

    const LearnOptions& o_;
    qrtl::win32::CardReceiver& receiver_;
    InputLines& input_;
    qrtl::setup::LearnedCodes& codes_;
    qrtl::setup::PressDetector detector_;
    RunEnd end_ = RunEnd::Done;
    bool sampled_ = false;
    DWORD start_ = 0;
    std::string offered_;  // a code another key holds, until r takes it over
};

}  // namespace

int RunLearn(const std::vector<std::string>& args) {
    LearnOptions o;
    if (!ParseOptions(args, o)) return kExitFailed;
    o.profile = ProfileOrDefault(o.profile);
    std::string bytes;
    if (!ReadProfileFile(o.profile, bytes)) return kExitUnreadable;
    if (MonitorRunning()) {
        Fail("the monitor is running and would take the codes away: close it (tray menu, Close) first");
        return kExitFailed;
    }

    // One reader of the receiver at a time: the set-up window takes the same lock.
    qrtl::win32::CardReceiver receiver;
    if (!receiver.TakeLock()) {
        Fail("another set-up tool reads the receiver now (the set-up window, or another learn): end its "
             "learning first");
        return kExitFailed;
    }
    // As the monitor starts: a driver lying in the current folder is never loaded.
    if (receiver.Open(o.driver) != qrtl::win32::ReceiverOpen::Ok) {
        Fail("cannot use the card driver " + (o.driver.empty() ? std::string(product::kDriverNt) + " / " + product::kDriver9x
                                                               : o.driver) +
             ": it does not load, or the card does not initialise");
        return kExitFailed;
    }

    InputLines& input = InputLines::Instance();
    if (!input.Start()) {
        Fail("cannot read standard input");
        return kExitFailed;
    }
    qrtl::setup::LearnedCodes codes(qrtl::ProfileDocument::Parse(bytes));
    Session session(o, receiver, input, codes);
    switch (session.Run()) {
    case RunEnd::Quit:
        Say("Ended: nothing written.");
        return kExitWarnings;
    case RunEnd::Hung:
        Fail("learning stopped: the card driver has not answered for " + std::to_string(qrtl::setup::kReadHangSeconds) +
             " s; nothing written. Check the card.");
        // Its read is still inside the driver: the process ends without unloading it.
        receiver.EndProcessIfStuck(kExitFailed);
        return kExitFailed;
    case RunEnd::MonitorStarted:
        Fail("the monitor was started and takes the codes away: learning stopped, nothing written");
        return kExitFailed;
    case RunEnd::Done:
        break;
    }
    receiver.Close();  // the receiver is free again before the profile is written

    Say("");
    Say("Key       Code");
    for (const auto& [index, learned] : session.Detector().DoneKeys()) {
        const std::string text = learned ? codes.CodeOf(index) : "-";
        char row[64];
        std::snprintf(row, sizeof row, "%-10s%s", RemoteKeyNames[index], text.c_str());
        Say(row);
    }
    const auto changes = codes.Changes();
    if (changes.empty()) {
        Say("No code changed: nothing written.");
        return kExitWarnings;
    }
    if (!WriteProfileKeys(o.profile, changes)) return kExitFailed;
    std::size_t written = 0;
    std::string removed;  // keys whose code another key took over
    for (const auto& change : changes) {
        if (!change.value.empty())
            ++written;
        else
            removed += (removed.empty() ? "" : ", ") + change.key;
    }
    Say(std::to_string(written) + " codes written into [" + profile::kControllerSection + "] of " + o.profile +
        (removed.empty() ? std::string() : ", the code of " + removed + " removed") + " (the previous file is " +
        o.profile + ".bak)");
    return kExitOk;
}

}  // namespace profiletool
