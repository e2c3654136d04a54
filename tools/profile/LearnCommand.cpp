// QRTLProfile learn: the remote's codes read key by key from the card's receiver,
// through the monitor's own driver loader, and written into [KeyMap_Controler].
#include <windows.h>

#include <cstdio>
#include <deque>
#include <set>

#include "config/ProfileReader.h"
#include "config/QRTLIRSet.h"
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
    std::string profile = kDefaultProfile;
    std::vector<std::string> keys;
    std::string driver;
    long timeoutSeconds = 0;  // 0: wait for each key as long as it takes
};

// The canonical name of a remote key given in any case; empty when none.
std::string RemoteKeyName(const std::string& name) {
    for (const char* known : RemoteKeyNames)
        if (qrtl::ProfileNameEquals(name, known)) return known;
    return {};
}

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
                const std::string known = RemoteKeyName(name);
                if (known.empty()) {
                    Fail("learn: \"" + name + "\" is not a remote key name");
                    return false;
                }
                o.keys.push_back(known);
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

    void SampleQuiet() {
        for (int i = 0; i < kQuietSampleReads; ++i) {
            uint32_t code = 0;
            if (Read(code)) quiet_.insert(code);
            ::Sleep(kReadIntervalMs);
        }
    }
    bool IsQuiet(uint32_t code) const { return quiet_.count(code) != 0; }
    const std::set<uint32_t>& QuietCodes() const { return quiet_; }

private:
    CardDriverReader card_;
    std::set<uint32_t> quiet_;
};

enum class KeyResult { Learned, Skipped, Quit };

class Session {
public:
    Session(const LearnOptions& o, Receiver& receiver, InputLines& input)
        : o_(o), receiver_(receiver), input_(input) {}

    // False when the user quit.
    bool Run() {
        for (const std::string& key : o_.keys) {
            int code = -1;
            const KeyResult result = LearnKey(key, code);
            if (result == KeyResult::Quit) return false;
            learned_.push_back({key, code});
        }
        return true;
    }
    const std::vector<std::pair<std::string, int>>& Learned() const { return learned_; }

private:
    KeyResult LearnKey(const std::string& key, int& code) {
        Say("Press " + key + " ...");
        const DWORD start = ::GetTickCount();
        for (;;) {
            std::string line;
            if (input_.Next(line)) {
                if (line.empty()) {
                    Say("  " + key + " skipped");
                    return KeyResult::Skipped;
                }
                if (line == "q" || line == "Q") return KeyResult::Quit;
                Say("  (an empty line skips " + key + ", q quits)");
            }
            if (o_.timeoutSeconds > 0 &&
                ::GetTickCount() - start >= static_cast<DWORD>(o_.timeoutSeconds) * 1000u) {
                Say("  " + key + " skipped: no code in " + std::to_string(o_.timeoutSeconds) + " s");
                return KeyResult::Skipped;
            }
            uint32_t value = 0;
            const bool got = receiver_.Read(value);
            if (!got || receiver_.IsQuiet(value)) {
                held_ = -1;  // released
            } else if (static_cast<int>(value) != held_) {
                held_ = static_cast<int>(value);
                const std::string owner = OwnerOf(held_);
                if (owner.empty()) {
                    code = held_;
                    Say("  " + key + " = " + FormatIrCode(value));
                    WaitForRelease();
                    return KeyResult::Learned;
                }
                Say("  code " + FormatIrCode(value) + " is already " + owner + "; press " + key +
                    " again");
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
            if (!receiver_.Read(value) || receiver_.IsQuiet(value)) {
                held_ = -1;
                return;
            }
            if (static_cast<int>(value) != held_) {
                held_ = static_cast<int>(value);  // another key: taken as still held
            }
        }
    }

    std::string OwnerOf(int code) const {
        for (const auto& [key, taken] : learned_)
            if (taken == code) return key;
        return {};
    }

    const LearnOptions& o_;
    Receiver& receiver_;
    InputLines& input_;
    std::vector<std::pair<std::string, int>> learned_;  // -1: skipped
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
    receiver.SampleQuiet();
    if (receiver.QuietCodes().size() > 1)
        Say("  the receiver is not quiet; its codes of that second are taken as no key");

    Session session(o, receiver, input);
    if (!session.Run()) {
        Say("Ended: nothing written.");
        return kExitWarnings;
    }

    std::vector<std::pair<std::string, std::string>> keys;
    Say("");
    Say("Key       Code");
    for (const auto& [key, code] : session.Learned()) {
        const std::string text = code < 0 ? "-" : FormatIrCode(static_cast<uint32_t>(code));
        char row[64];
        std::snprintf(row, sizeof row, "%-10s%s", key.c_str(), text.c_str());
        Say(row);
        if (code >= 0) keys.push_back({key, text});
    }
    if (keys.empty()) {
        Say("No code learned: nothing written.");
        return kExitWarnings;
    }
    if (!WriteProfileKeys(o.profile, profile::kControllerSection, keys)) return kExitFailed;
    Say(std::to_string(keys.size()) + " codes written into [" + profile::kControllerSection + "] of " +
        o.profile + " (the previous file is " + o.profile + ".bak)");
    return kExitOk;
}

}  // namespace profiletool
