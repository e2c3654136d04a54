// In-memory stand-ins for the platform interfaces, for the native core tests.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace fakes {

inline std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Behaves like the Windows profile functions in what the program relies on:
// section and key names case-insensitive, missing key -> default, text cut to
// 255 characters, integers read like GetPrivateProfileIntA (leading sign and digits).
class FakeProfile : public qrtl::IProfile {
public:
    // files[path][section][key] = value; names stored lower-cased.
    void Set(const std::string& path, const std::string& section, const std::string& key,
             const std::string& value) {
        files_[Lower(path)][Lower(section)][Lower(key)] = value;
    }
    bool Has(const std::string& path, const std::string& section, const std::string& key) const {
        auto f = files_.find(Lower(path));
        if (f == files_.end()) return false;
        auto s = f->second.find(Lower(section));
        if (s == f->second.end()) return false;
        return s->second.count(Lower(key)) != 0;
    }
    std::string Get(const std::string& path, const std::string& section,
                    const std::string& key) const {
        return files_.at(Lower(path)).at(Lower(section)).at(Lower(key));
    }

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, const std::string& path) override {
        reads.push_back(section + "/" + key);
        std::string v = Has(path, section, key) ? Get(path, section, key) : def;
        if (v.size() > 255) v.resize(255);
        return v;
    }
    int32_t GetInt(const std::string& section, const std::string& key, int32_t def,
                   const std::string& path) override {
        reads.push_back(section + "/" + key);
        if (!Has(path, section, key)) return def;
        // An empty value reads as the default, as GetPrivateProfileIntA does.
        const std::string text = Get(path, section, key);
        if (text.empty()) return def;
        return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
    }
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override {
        writes.push_back(section + "/" + key + "=" + value);
        if (readOnly) return false;
        Set(path, section, key, value);
        return true;
    }

    void BeginWrites(const std::string& path) override {
        lockEvents.push_back("begin " + path + " after " + std::to_string(writes.size()));
        if (onBeginWrites) onBeginWrites();
    }
    void EndWrites() override { lockEvents.push_back("end after " + std::to_string(writes.size())); }

    bool readOnly = false;  // every write fails, as for a read-only file or folder
    // Runs as the lock is granted: another writer that held it until now.
    std::function<void()> onBeginWrites;

    std::vector<std::string> reads;   // "Section/Key" in call order
    std::vector<std::string> writes;  // "Section/Key=value" in call order
    std::vector<std::string> lockEvents;  // "begin PATH after N" / "end after N", N writes before

private:
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> files_;
};

class FakeModule : public qrtl::IModule {
public:
    std::string path = "C:\\Apps\\QRTLIRMoni.exe";
    // Results of the version calls, by record size; a missing size fails.
    std::map<uint32_t, uint32_t> platformBySize{{156, qrtl::kPlatformWin32Nt},
                                                {148, qrtl::kPlatformWin32Nt}};
    std::vector<uint32_t> versionCalls;

    // Unknown unless a test names them: SetAutoRun then writes as where the system cannot tell.
    bool foldersKnown = false;
    std::vector<std::string> protectedFolders;

    // Who may change a folder, by its lower-cased path; unlisted folders answer
    // `otherFolders`. Each question is recorded.
    std::map<std::string, qrtl::FolderWriters> folderWriters;
    qrtl::FolderWriters otherFolders = qrtl::FolderWriters::NoSecurity;
    std::vector<std::string> rightsAsked;

    // The driver library the program loads: `driverLibrary` when set, else the one
    // beside the executable; none at all when `driverFound` is false.
    std::string driverLibrary;
    bool driverFound = true;

    std::string FileName() override { return path; }
    qrtl::FolderWriters WhoMayChange(const std::string& folder) override {
        rightsAsked.push_back(folder);
        auto it = folderWriters.find(Lower(folder));
        return it == folderWriters.end() ? otherFolders : it->second;
    }
    std::string DriverLibraryPath() override {
        if (!driverFound) return std::string();
        if (!driverLibrary.empty()) return driverLibrary;
        return path.substr(0, path.find_last_of("\\/") + 1) + "QRD210DE.DLL";
    }
    bool ProtectedFolders(std::vector<std::string>& folders) override {
        folders = protectedFolders;
        return foldersKnown;
    }
    bool GetVersion(uint32_t recordSize, uint32_t& platformId) override {
        versionCalls.push_back(recordSize);
        auto it = platformBySize.find(recordSize);
        if (it == platformBySize.end()) return false;
        platformId = it->second;
        return true;
    }
};

class FakeRegistry : public qrtl::IRegistry {
public:
    struct Key {
        bool writable = true;
        std::map<std::string, std::string> values;  // text values only
    };
    // keys[root][path]; HKLM keys serve ReadMachineString.
    std::map<qrtl::RegRoot, std::map<std::string, Key>> keys;
    std::vector<std::string> calls;

    bool ReadMachineString(const std::string& path, const std::string& name,
                           std::string& out) override {
        calls.push_back("read " + path + " " + name);
        auto& hive = keys[qrtl::RegRoot::LocalMachine];
        auto k = hive.find(path);
        if (k == hive.end()) return false;
        auto v = k->second.values.find(name);
        if (v == k->second.values.end()) return false;
        out = v->second.substr(0, 255);
        return true;
    }
    qrtl::RegWrite SetString(qrtl::RegRoot root, const std::string& path, const std::string& name,
                             const std::string& data) override {
        calls.push_back(std::string("set ") + RootName(root) + " " + name + "=" + data);
        auto& hive = keys[root];
        auto k = hive.find(path);
        if (k == hive.end() || !k->second.writable) return qrtl::RegWrite::NoKey;
        k->second.values[name] = data;
        return qrtl::RegWrite::Done;
    }
    bool DeleteValue(qrtl::RegRoot root, const std::string& path, const std::string& name) override {
        calls.push_back(std::string("delete ") + RootName(root) + " " + name);
        auto& hive = keys[root];
        auto k = hive.find(path);
        if (k == hive.end() || !k->second.writable) return false;
        return k->second.values.erase(name) != 0;
    }
    // Subkeys are the keys whose path is one component longer; a key that only
    // holds subkeys need not be listed itself.
    bool MachineSubKeys(const std::string& path, std::vector<std::string>& names) override {
        calls.push_back("subkeys " + path);
        names.clear();
        bool exists = false;
        const std::string prefix = path + "\\";
        for (const auto& [keyPath, key] : keys[qrtl::RegRoot::LocalMachine]) {
            if (keyPath == path) exists = true;
            if (keyPath.compare(0, prefix.size(), prefix) != 0) continue;
            exists = true;
            const std::string name = keyPath.substr(prefix.size(), keyPath.find('\\', prefix.size()) - prefix.size());
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        }
        return exists;
    }
    bool MachineStringValues(const std::string& path,
                             std::vector<std::pair<std::string, std::string>>& values) override {
        calls.push_back("values " + path);
        values.clear();
        auto& hive = keys[qrtl::RegRoot::LocalMachine];
        auto k = hive.find(path);
        if (k == hive.end()) return false;
        for (const auto& [name, data] : k->second.values) values.push_back({name, data});
        return true;
    }
    static const char* RootName(qrtl::RegRoot r) {
        return r == qrtl::RegRoot::LocalMachine ? "HKLM" : "HKCU";
    }
};

// A desktop of top-level windows (in enumeration order) and processes.
class FakeDesktop : public qrtl::IDesktop {
public:
    struct Window {
        qrtl::WindowHandle handle = 0;
        std::string className;
        std::string caption;
        std::vector<int32_t> childIds;
        uint32_t processId = 0;
    };
    struct Process {
        uint32_t id = 0;
        std::string exeName;  // as the snapshot reports it: file name (NT) or full path (9x)
    };
    struct Posted {
        qrtl::WindowHandle hWnd;
        uint32_t msg;
        uint32_t wParam;
        int32_t lParam;
    };

    std::vector<Window> windows;
    std::vector<Process> processes;
    bool snapshotFails = false;
    std::vector<Posted> posted;
    int findCalls = 0;
    int snapshotCalls = 0;

    qrtl::WindowHandle AddWindow(const std::string& cls, const std::string& caption,
                                 std::vector<int32_t> children, uint32_t pid) {
        Window w;
        w.handle = 0x10000 + 0x10 * (windows.size() + 1);
        w.className = cls;
        w.caption = caption;
        w.childIds = std::move(children);
        w.processId = pid;
        windows.push_back(w);
        return w.handle;
    }
    void AddProcess(uint32_t pid, const std::string& exe) { processes.push_back({pid, exe}); }

    const Window* Find(qrtl::WindowHandle h) const {
        for (const auto& w : windows)
            if (w.handle == h) return &w;
        return nullptr;
    }

    // FindWindowA compares class and caption case-insensitively.
    qrtl::WindowHandle FindTopWindow(const char* className, const char* caption) override {
        ++findCalls;
        for (const auto& w : windows) {
            if (className && Lower(w.className) != Lower(className)) continue;
            if (caption && Lower(w.caption) != Lower(caption)) continue;
            return w.handle;
        }
        return qrtl::kNoWindow;
    }
    void EnumTopWindows(qrtl::WindowEnumProc proc, std::intptr_t lParam) override {
        for (const auto& w : windows)
            if (!proc(w.handle, lParam)) break;
    }
    bool HasChild(qrtl::WindowHandle hWnd, int32_t id) override {
        const Window* w = Find(hWnd);
        return w && std::find(w->childIds.begin(), w->childIds.end(), id) != w->childIds.end();
    }
    uint32_t WindowProcessId(qrtl::WindowHandle hWnd) override {
        const Window* w = Find(hWnd);
        return w ? w->processId : 0;
    }
    std::string WindowTitle(qrtl::WindowHandle hWnd) override {
        const Window* w = Find(hWnd);
        return w ? w->caption.substr(0, 255) : std::string();
    }
    qrtl::ProcessName FindProcessName(uint32_t processId, char* name, std::size_t size) override {
        ++snapshotCalls;
        if (snapshotFails) return qrtl::ProcessName::NoSnapshot;
        for (const Process& p : processes) {
            if (p.id != processId) continue;
            if (size == 0) return qrtl::ProcessName::Found;
            // The snapshot's own field holds at most kProcessNameSize - 1 characters.
            const std::size_t n = std::min({p.exeName.size(), qrtl::kProcessNameSize - 1, size - 1});
            std::copy_n(p.exeName.data(), n, name);
            name[n] = '\0';
            return qrtl::ProcessName::Found;
        }
        return qrtl::ProcessName::NotFound;
    }
    // Only a to z: the same result whatever locale the tests run in.
    void UpperCase(char* text, std::size_t length) override {
        for (std::size_t i = 0; i < length; ++i)
            if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
    }
    // 0 when posted: 1400 (invalid window) for an unknown window, else `postError`.
    uint32_t postError = 0;
    uint32_t Post(qrtl::WindowHandle hWnd, uint32_t msg, uint32_t wParam, int32_t lParam) override {
        posted.push_back({hWnd, msg, wParam, lParam});
        return Find(hWnd) != nullptr ? postError : 1400u;
    }
};

// A receiver that hands out queued codes; an empty queue leaves the variable
// unchanged unless `idleCode` is set.
class FakeCard : public qrtl::ICardReader {
public:
    std::deque<uint32_t> codes;
    bool hasIdleCode = false;
    uint32_t idleCode = 0;
    bool closed = false;
    int reads = 0;
    int closes = 0;
    std::vector<std::pair<int32_t, int32_t>> addresses;
    std::function<void()> onRead;  // lets a test move the clock or re-enter

    int32_t ReadByte(int32_t device, int32_t subAddress, uint32_t* value) override {
        if (closed) return 0;
        ++reads;
        addresses.emplace_back(device, subAddress);
        if (onRead) onRead();
        if (!codes.empty()) {
            *value = codes.front();
            codes.pop_front();
        } else if (hasIdleCode) {
            *value = idleCode;
        }
        return 1;
    }
    void Close() override {
        ++closes;
        closed = true;
    }
    int reopens = 0;
    bool Reopen() override {
        ++reopens;
        closed = false;
        return true;
    }
};

// A calendar clock that advances only when the program sleeps.
class FakeClock : public qrtl::IClock {
public:
    int64_t now = 1000000;
    int64_t sleptMs = 0;
    int sleeps = 0;
    // Milliseconds of clock time per sleep; the seconds counter advances in whole steps.
    std::function<void(FakeClock&)> onSleep;

    int64_t NowSeconds() override { return now + sleptMs / 1000; }
    void SleepMs(uint32_t ms) override {
        ++sleeps;
        sleptMs += ms;
        if (onSleep) onSleep(*this);
    }
};

class FakeLauncher : public qrtl::ILauncher {
public:
    std::vector<std::string> launched;
    bool Launch(const std::string& path) override {
        launched.push_back(path);
        return !path.empty();
    }
};

class FakeShutdown : public qrtl::IShutdown {
public:
    std::vector<bool> requests;  // win9x flag of each request
    bool accepted = true;        // Windows agrees to end
    bool RequestShutdown(bool win9x) override {
        requests.push_back(win9x);
        return accepted;
    }
};

class FakeHistory : public qrtl::IHistoryList {
public:
    std::vector<std::string> items;  // newest first, as the list box shows them
    int selected = -1;
    void InsertTop(const std::string& text) override {
        items.insert(items.begin(), text);
        selected = 0;
    }
};

class FakePrompt : public qrtl::IPromptWindow {
public:
    int shows = 0;
    int destroys = 0;
    bool visible = false;
    void Show() override {
        ++shows;
        visible = true;
    }
    void Destroy() override {
        ++destroys;
        visible = false;
    }
};

// Records every trace block and message box.
class RecordingTransport : public qrtl::ITraceTransport {
public:
    struct Line {
        int32_t level;
        std::string text;   // the block's text up to its terminating zero
        std::string block;  // the whole block
    };
    std::vector<Line> lines;
    std::vector<std::string> boxes;

    // A tick count that each delivered line moves on by `answerMs`, as a viewer that
    // takes that long to answer.
    uint32_t nowMs = 0;
    uint32_t answerMs = 0;

    qrtl::TraceDelivery Deliver(int32_t level, const char* block, std::size_t size) override {
        lines.push_back({level, std::string(block), std::string(block, size)});
        nowMs += answerMs;
        return qrtl::TraceDelivery::Answered;
    }
    uint32_t NowMs() override { return nowMs; }
    void ShowBox(const char* text) override { boxes.emplace_back(text); }

    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& l : lines) out.push_back(l.text);
        return out;
    }
};

// A complete set of fakes wired into a Services record.
struct FakePlatform {
    FakeProfile profile;
    FakeModule module;
    FakeRegistry registry;
    FakeDesktop desktop;
    FakeCard card;
    FakeClock clock;
    FakeLauncher launcher;
    FakeShutdown shutdown;
    FakePrompt prompt;

    qrtl::Services Services() { return qrtl::ServicesOf(*this, &prompt); }
};

}  // namespace fakes
