// QRTLProfile learn: the remote's codes read key by key from the card's receiver,
// through the monitor's own driver loader, and written into [KeyMap_Controler].
#include <windows.h>

#include <cstdio>
#include <deque>
#include <set>

#include "config/ProfileReader.h"
#include "config/QRTLIRSet.h"
#include "setup/LearnSession.h"
#include "dispatch/Dispatch.h"
#include "driver/CardDriver.h"
#include "platform/win32/Handle.h"
#include "product.h"
#include "tools/profile/ProfileFiles.h"
#include "tools/profile/ProfileTool.h"

namespace profiletool {

namespace {

constexpr DWORD kReadIntervalMs = 100;
constexpr int kQuietSampleReads = 10;  // one second before the first key
constexpr int kQuietAfterKeyReads = 20;  // at most two seconds for a key's release

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

// Standard input read on a thread of its own: a pipe cannot be peeked everywhere,
// and a console read would block the receiver's polling. The thread may still wait
// for input when the command ends, so the object lives until the process ends.
class InputLines {
public:
    InputLines() { ::InitializeCriticalSection(&lock_); }
    InputLines(const InputLines&) = delete;
    InputLines& operator=(const InputLines&) = delete;

    bool Start() {
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
    static DWORD WINAPI Run(void* self) {
        auto* input = static_cast<InputLines*>(self);
        std::string line;
        char chunk[256];
        while (std::fgets(chunk, sizeof chunk, stdin) != nullptr) {
            line += chunk;
            if (line.back() != '\n') continue;  // the rest of a long line follows
            line.pop_back();
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ::EnterCriticalSection(&input->lock_);
            input->lines_.push_back(line);
            ::LeaveCriticalSection(&input->lock_);
            line.clear();
        }
        return 0;  // the end of input: keys then end by their timeout only
    }

    CRITICAL_SECTION lock_;
    std::deque<std::string> lines_;
    qrtl::win32::UniqueHandleObj thread_;
};

// The receiver, and what it gives while no key is pressed.
class Receiver {
public:
    // Unchanged: the read left the variable alone.
    bool Read(uint32_t& code) { return dispatch::ReadIrByte(card_, code); }

    std::set<uint32_t> SampleQuiet() {
        std::set<uint32_t> quiet;
        for (int i = 0; i < kQuietSampleReads; ++i) {
            uint32_t code = 0;
            if (Read(code)) quiet.insert(code);
            ::Sleep(kReadIntervalMs);
        }
        return quiet;
    }

private:
    CardDriverReader card_;
};

enum class KeyResult { Learned, Skipped, Quit };

// "VOL+ (volume up)"
std::string InWords(int index) {
    return std::string(RemoteKeyNames[index]) + " (" + RemoteKeyLegend[index] + ")";
}

class Session {
public:
    Session(const LearnOptions& o, Receiver& receiver, InputLines& input,
            qrtl::setup::LearnSession& codes)
        : o_(o), receiver_(receiver), input_(input), codes_(codes) {}

    // False when the user quit.
    bool Run() {
        for (const std::string& key : o_.keys) {
            const int index = qrtl::setup::RemoteKeyIndex(key);
            const KeyResult result = LearnKey(index);
            if (result == KeyResult::Quit) return false;
            learned_.push_back({index, result == KeyResult::Learned});
        }
        return true;
    }
    // The keys of this run in order, and whether each got a code.
    const std::vector<std::pair<int, bool>>& Learned() const { return learned_; }

private:
    KeyResult LearnKey(int index) {
        const std::string key = RemoteKeyNames[index];
        Say("Press " + InWords(index) + " ...");
        const DWORD start = ::GetTickCount();
        std::string offered;  // a code another key holds, until r takes it over
        for (;;) {
            std::string line;
            if (input_.Next(line)) {
                if (line.empty()) {
                    Say("  " + key + " skipped");
                    return KeyResult::Skipped;
                }
                if (line == "q" || line == "Q") return KeyResult::Quit;
                if ((line == "r" || line == "R") && !offered.empty()) {
                    const auto result = codes_.Assign(index, offered, true);
                    Say("  " + key + " = " + offered + ", taken over: " +
                        (result.holder >= 0 ? std::string(RemoteKeyNames[result.holder]) : "the other key") +
                        " has no code now");
                    WaitForRelease();
                    return KeyResult::Learned;
                }
                Say("  (an empty line skips " + key + ", q quits" +
                    (offered.empty() ? std::string(")") : ", r takes code " + offered + " over)"));
            }
            if (o_.timeoutSeconds > 0 &&
                ::GetTickCount() - start >= static_cast<DWORD>(o_.timeoutSeconds) * 1000u) {
                Say("  " + key + " skipped: no code in " + std::to_string(o_.timeoutSeconds) + " s");
                return KeyResult::Skipped;
            }
            uint32_t value = 0;
            const bool got = receiver_.Read(value);
            if (!got || codes_.IsQuiet(value)) {
                held_ = -1;  // released
            } else if (static_cast<int>(value) != held_) {
                held_ = static_cast<int>(value);
                const std::string code = FormatIrCode(value);
                const auto result = codes_.Assign(index, code, false);
                if (result.outcome != qrtl::setup::LearnSession::Outcome::Taken) {
                    Say("  " + key + " = " + code +
                        (result.outcome == qrtl::setup::LearnSession::Outcome::Same ? " (as before)" : ""));
                    WaitForRelease();
                    return KeyResult::Learned;
                }
                // One code, one key: the monitor would take it for the other key only.
                offered = code;
                Say("  code " + code + " is already " + InWords(result.holder) + "; press " + key +
                    " again, or type r to take the code over");
            }
            ::Sleep(kReadIntervalMs);
        }
    }

    // Waits a little for the receiver to go quiet; a receiver that keeps the last
    // code is quiet once the code stays the same.
    void WaitForRelease() {
        for (int i = 0; i < kQuietAfterKeyReads; ++i) {
            ::Sleep(kReadIntervalMs);
            uint32_t value = 0;
            if (!receiver_.Read(value) || codes_.IsQuiet(value)) {
                held_ = -1;
                return;
            }
            if (static_cast<int>(value) != held_) {
                held_ = static_cast<int>(value);  // another key: taken as still held
            }
        }
    }

    const LearnOptions& o_;
    Receiver& receiver_;
    InputLines& input_;
    qrtl::setup::LearnSession& codes_;
    std::vector<std::pair<int, bool>> learned_;
    int held_ = -1;
};

// Closes the driver library on every way out.
struct DriverSession {
    ~DriverSession() { CloseCardDriver(); }
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

    // As the monitor starts: a driver lying in the current folder is never loaded.
    const BOOL loaded = qrtl::LoadWithProgramFolderSearch(
        [&o] { return o.driver.empty() ? LoadCardDriver() : LoadCardDriverFrom(o.driver.c_str()); });
    if (!loaded) {
        Fail("cannot use the card driver " + (o.driver.empty() ? std::string(product::kDriverNt) + " / " + product::kDriver9x
                                                               : o.driver) +
             ": it does not load, or the card does not initialise");
        return kExitFailed;
    }
    DriverSession driverSession;

    static InputLines input;
    if (!input.Start()) {
        Fail("cannot read standard input");
        return kExitFailed;
    }
    Say("Release all keys: listening to the receiver for one second ...");
    Receiver receiver;
    qrtl::setup::LearnSession codes(qrtl::ProfileDocument::Parse(bytes));
    codes.SetQuiet(receiver.SampleQuiet());
    if (codes.Quiet().size() > 1)
        Say("  the receiver is not quiet; its codes of that second are taken as no key");

    Session session(o, receiver, input, codes);
    if (!session.Run()) {
        Say("Ended: nothing written.");
        return kExitWarnings;
    }

    Say("");
    Say("Key       Code");
    for (const auto& [index, learned] : session.Learned()) {
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
