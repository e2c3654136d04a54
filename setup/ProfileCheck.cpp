// The profile checker. The settings come from the monitor's own LoadProfile and
// GetClientExePath, run on the parsed document; the key maps' entries and the
// lines where each value stands come from the document itself.
#include "setup/ProfileCheck.h"

#include <algorithm>
#include <map>

#include "config/QRTLIRSet.h"
#include "config/RemoteCodes.h"
#include "product.h"

namespace qrtl {

namespace {

constexpr int32_t kTimerCostlyMs = 50;
constexpr int32_t kTimerSluggishMs = 10000;
constexpr uint32_t kMaxCode = 255;

// The module the loading code asks for: only the profile path derives from it.
class CheckModule : public IModule {
public:
    std::string FileName() override { return product::kMonitorExe; }
    bool GetVersion(uint32_t, uint32_t&) override { return false; }
    bool ProtectedFolders(std::vector<std::string>&) override { return false; }
};

bool IsRemoteKeyName(std::string_view name) {
    return std::any_of(std::begin(RemoteKeyNames), std::end(RemoteKeyNames),
                       [&](const char* known) { return ProfileNameEquals(name, known); });
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t cost = UpperAscii(a[i - 1]) == UpperAscii(b[j - 1]) ? 0 : 1;
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + cost});
            diagonal = above;
        }
    }
    return row[b.size()];
}

const char* NearestKeyName(std::string_view name) {
    const char* best = RemoteKeyNames[0];
    std::size_t bestDistance = EditDistance(name, best);
    for (const char* known : RemoteKeyNames) {
        const std::size_t d = EditDistance(name, known);
        if (d < bestDistance) {
            best = known;
            bestDistance = d;
        }
    }
    return best;
}

// True when a received byte can render as exactly this text.
bool IsReceivableCode(const std::string& text) {
    if (text.size() < 2 || text.size() > 3) return false;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const uint32_t code = static_cast<uint32_t>(std::stoul(text));
    return code <= kMaxCode && FormatIrCode(code) == text;
}

class Checker {
public:
    Checker(const ProfileDocument& doc, const CheckEnvironment& env) : doc_(doc), env_(env) {
        Services services;
        services.profile = &profile_;
        services.module = &module_;
        services.registry = env.registry;
        set_.SetServices(services);
        set_.LoadProfile();
    }

    std::vector<Finding> Run() {
        Syntax();
        Duplicates();
        Timer();
        for (const char* name : RemoteKeyNames)
            if (doc_.GetString(profile::kControllerSection, name).empty()) unlearned_.push_back(name);
        const bool clientKnown = Client();
        ControllerMap();
        if (clientKnown) ClientMap();
        if (clientKnown && env_.registry != nullptr) Launch();
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
        return std::move(findings_);
    }

private:
    void Add(int line, Severity severity, std::string text, const char* id) {
        findings_.push_back({line, severity, std::move(text), id});
    }

    // The line of a key; for a missing key its section's header; else the first line.
    int LineOf(std::string_view section, std::string_view key) const {
        if (const auto* entry = doc_.Find(section, key)) return entry->line;
        if (const auto* s = doc_.FindSection(section)) return s->line;
        return 1;
    }

    std::string ClientKeyText(const profile::Key& key) const { return profile::KeyName(key, set_.m_nDefaultClient); }

    void Syntax() {
        for (const auto& odd : doc_.OddLines()) {
            std::string text;
            switch (odd.kind) {
            case ProfileDocument::OddKind::NoEquals:
                text = odd.line == 1 && odd.text.rfind("\xEF\xBB\xBF", 0) == 0
                           ? "the file starts with a UTF-8 byte order mark: Windows does not "
                             "see the header on this line; save the file without it"
                           : "\"" + odd.text + "\" is neither a [section], a comment nor "
                             "key=value: Windows ignores it";
                break;
            case ProfileDocument::OddKind::NoClosingBracket:
                text = "section header without \"]\": Windows reads it as a key line";
                break;
            case ProfileDocument::OddKind::BeforeSection:
                text = "key before any [section]: the monitor never reads it";
                break;
            case ProfileDocument::OddKind::EmptyKey:
                text = "line with an empty key name: the monitor never reads it";
                break;
            }
            Add(odd.line, Severity::Warning, std::move(text), "syntax");
        }
    }

    // Only the first section of a name and the first line of a key count.
    void Duplicates() {
        for (const auto& section : doc_.Sections()) {
            if (section.line == 0) continue;
            const auto* first = doc_.FindSection(section.name);
            if (first != &section) {
                Add(section.line, Severity::Warning,
                    "section [" + section.name + "] repeated: only the one on line " +
                        std::to_string(first->line) + " is read",
                    "section-duplicate");
                continue;
            }
            for (const auto& entry : section.entries) {
                if (entry.key.empty()) continue;
                const auto* effective = doc_.Find(section.name, entry.key);
                if (effective != &entry)
                    Add(entry.line, Severity::Warning,
                        "\"" + entry.key + "\" repeated in [" + section.name +
                            "]: only line " + std::to_string(effective->line) + " counts",
                        "key-duplicate");
            }
        }
    }

    void Timer() {
        const int32_t ms = set_.m_nTimer;
        const int line = LineOf(profile::kTimer.section, profile::kTimer.name);
        const std::string value = "Timer=" + std::to_string(ms);
        if (ms <= 0)
            Add(line, Severity::Error, value + ": the receiver is never polled", "timer");
        else if (ms < kTimerCostlyMs)
            Add(line, Severity::Warning, value + " ms polls so often that it costs CPU time; 100 or more is plenty", "timer");
        else if (ms > kTimerSluggishMs)
            Add(line, Severity::Warning, value + " ms: keys answer so late that the remote feels dead", "timer");
    }

    // False when the active client is not configured at all.
    bool Client() {
        const std::string itemKey = ClientKeyText(profile::kItem);
        if (set_.m_strItem.empty() && set_.m_strCaption.empty() && set_.m_strClassName.empty()) {
            // A profile with nothing set up yet is told so once, by the key map.
            if (NothingSetUp()) return false;
            Add(LineOf(profile::kDefaultClient.section, profile::kDefaultClient.name), Severity::Error,
                "Default=" + std::to_string(set_.m_nDefaultClient) + " names a client without " +
                    itemKey + ", " + ClientKeyText(profile::kCaption) + " or " + ClientKeyText(profile::kClassName) +
                    ": no window is ever taken for the client",
                "client-missing");
            return false;
        }
        if (set_.m_strItem.empty()) {
            int line = LineOf(profile::kClient, itemKey);
            if (doc_.Find(profile::kClient, itemKey) == nullptr)
                line = LineOf(profile::kClient, set_.m_strCaption.empty() ? ClientKeyText(profile::kClassName)
                                                                          : ClientKeyText(profile::kCaption));
            if (set_.m_nControl == 0)
                Add(line, Severity::Error,
                    "no " + itemKey + ": any program's window with the client's layout counts as "
                    "the client, and with " + ClientKeyText(profile::kControl) + "=0 the remote goes silent",
                    "item-empty");
            else
                Add(line, Severity::Warning,
                    "no " + itemKey + ": any program's window with the client's layout counts as the client",
                    "item-empty");
            return true;
        }
        const int itemLine = LineOf(profile::kClient, itemKey);
        if (std::any_of(set_.m_strItem.begin(), set_.m_strItem.end(),
                        [](char c) { return c >= 'a' && c <= 'z'; })) {
            std::string upper = set_.m_strItem;
            std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
            Add(itemLine, Severity::Error,
                itemKey + "=" + set_.m_strItem + " has lower-case letters and never matches the "
                "upper-cased program name; write " + upper,
                "item-case");
        }
        if (doc_.FindSection(ClientSection()) == nullptr)
            Add(itemLine, Severity::Warning,
                "no section [" + ClientSection() + "]: keys are recognised but nothing is sent to the client",
                "client-keymap");
        return true;
    }

    std::string ClientSection() const { return profile::kClientSectionPrefix + set_.m_strItem; }

    bool NoKeyLearned() const { return unlearned_.size() == static_cast<std::size_t>(kRemoteKeyCount); }

    // True when some client of [Client], active or not, names a window to look for.
    bool AnyClientNamed() const {
        const auto* section = doc_.FindSection(profile::kClient);
        if (section == nullptr) return false;
        return std::any_of(section->entries.begin(), section->entries.end(), [&](const auto& entry) {
            const auto underscore = entry.key.find('_');
            if (underscore == std::string::npos || doc_.Find(section->name, entry.key) != &entry)
                return false;
            const std::string_view field = std::string_view(entry.key).substr(underscore + 1);
            return (ProfileNameEquals(field, profile::kItem.name) || ProfileNameEquals(field, profile::kCaption.name) ||
                    ProfileNameEquals(field, profile::kClassName.name)) &&
                   !ProfileValueText(entry.value).empty();
        });
    }

    // The state of a fresh install: no code learned and no TV application chosen.
    bool NothingSetUp() const { return NoKeyLearned() && !AnyClientNamed(); }

    // Names in a key-map section that are none of the remote's keys.
    void UnknownNames(const std::string& sectionName) {
        const auto* section = doc_.FindSection(sectionName);
        if (section == nullptr) return;
        for (const auto& entry : section->entries) {
            if (entry.key.empty() || !entry.hasValue || IsRemoteKeyName(entry.key)) continue;
            Add(entry.line, Severity::Warning,
                "\"" + entry.key + "\" is not a remote key name; did you mean " +
                    NearestKeyName(entry.key) + "?",
                "key-name");
        }
    }

    void ControllerMap() {
        const std::string section = profile::kControllerSection;
        UnknownNames(section);
        Unlearned();
        std::map<std::string, std::vector<const char*>> namesByCode;
        for (const char* name : RemoteKeyNames) {
            const auto* entry = doc_.Find(section, name);
            if (entry == nullptr || !entry->hasValue) continue;
            const std::string code = doc_.GetString(section, name);
            // No code is a key not learned yet, which Unlearned() tells.
            if (code.empty()) continue;
            if (!IsReceivableCode(code))
                Add(entry->line, Severity::Warning,
                    std::string(name) + "=" + code + " never matches: a received code is written "
                    "with at least two digits, 00 to 255",
                    "code-format");
            namesByCode[code].push_back(name);
        }
        for (const auto& [code, names] : namesByCode) {
            // The later name in the list takes the code.
            for (std::size_t i = 0; i + 1 < names.size(); ++i)
                Add(LineOf(section, names[i]), Severity::Warning,
                    std::string(names[i]) + " shares code " + code + " with " + names.back() +
                        ", which takes it: " + names[i] + " is never recognised",
                    "code-shared");
        }
    }

    // Keys without a code are not mistakes but keys not learned yet: one line for
    // all of them, and for a profile without any, that the remote is not set up.
    void Unlearned() {
        if (unlearned_.empty()) return;
        const auto* section = doc_.FindSection(profile::kControllerSection);
        const int line = section != nullptr ? section->line : 1;
        if (NoKeyLearned()) {
            Add(line, Severity::Warning,
                std::string("the remote is not set up yet: no key has a code") +
                    (NothingSetUp() ? " and no TV application is chosen" : "") + "; " +
                    product::kRemoteExe + " (\"" + product::kSetUpLink + "\" in the Start menu) sets it up",
                "not-set-up");
            return;
        }
        const bool one = unlearned_.size() == 1;
        std::string names;
        for (const char* name : unlearned_) names += (names.empty() ? "" : ", ") + std::string(name);
        Add(line, Severity::Note,
            std::to_string(unlearned_.size()) + (one ? " key has" : " keys have") + " no code yet: " +
                names + (one ? "; it does" : "; they do") + " nothing until learned",
            "code-unlearned");
    }

    void ClientMap() {
        const std::string section = ClientSection();
        if (doc_.FindSection(section) == nullptr) return;
        UnknownNames(section);
        bool anyCommand = false;
        for (const char* name : RemoteKeyNames) {
            const auto* entry = doc_.Find(section, name);
            if (entry == nullptr || !entry->hasValue) continue;
            const std::string command = doc_.GetString(section, name);
            if (command.empty()) continue;
            anyCommand = true;
            const std::string problem = CommandProblem(command);
            if (!problem.empty())
                Add(entry->line, Severity::Warning, std::string(name) + "=" + command + ": " + problem,
                    "command-format");
            if (doc_.GetString(profile::kControllerSection, name).empty())
                Add(entry->line, Severity::Note,
                    std::string(name) + " has no code in [" + profile::kControllerSection +
                        "]: this command is never sent",
                    "command-unmapped");
        }
        // The tick reads nothing while the client's window is found, unless Control is set.
        if (anyCommand && set_.m_nControl == 0) {
            const std::string controlKey = ClientKeyText(profile::kControl);
            const bool given = doc_.Find(profile::kClient, controlKey) != nullptr;
            Add(LineOf(profile::kClient, controlKey), Severity::Warning,
                (given ? controlKey + "=0" : "no " + controlKey + " (0)") +
                    ": while the application runs, the monitor leaves the receiver to it, and the "
                    "commands of [" + section + "] are never sent; write " + controlKey + "=1",
                "client-control");
        }
    }

    void Launch() {
        const std::string regPathKey = ClientKeyText(profile::kRegPath);
        const std::string exeKey = ClientKeyText(profile::kExeName);
        const std::string exeName = doc_.GetString(profile::kClient, exeKey);
        const bool noExtension = exeName.find('.') == std::string::npos;
        if (!exeName.empty() && noExtension)
            Add(LineOf(profile::kClient, exeKey), Severity::Note,
                exeKey + "=" + exeName + " has no extension: \".exe\" is added when it starts", "launch");

        // No registry key named at all: POWER is meant to start nothing, which is a
        // choice (a client started some other way), not a fault.
        if (doc_.GetString(profile::kClient, regPathKey).empty()) {
            Add(LineOf(profile::kClient, regPathKey), Severity::Note,
                "no " + regPathKey + ": POWER starts no client", "launch");
            return;
        }
        const std::string path = set_.GetClientExePath(set_.m_nDefaultClient);
        if (path.empty()) {
            Add(LineOf(profile::kClient, regPathKey), Severity::Warning,
                "the client's folder cannot be read from HKEY_LOCAL_MACHINE\\" +
                    doc_.GetString(profile::kClient, regPathKey) + " value \"" +
                    doc_.GetString(profile::kClient, ClientKeyText(profile::kRegFolder)) +
                    "\": POWER cannot start the client",
                "launch");
            return;
        }
        const std::string runnable = noExtension ? path + ".exe" : path;
        if (env_.fileExists && !env_.fileExists(runnable))
            Add(LineOf(profile::kClient, exeKey), Severity::Warning,
                runnable + " does not exist: POWER cannot start the client", "launch");
        const std::string regPath = doc_.GetString(profile::kClient, regPathKey);
        if (env_.usersCanWrite && env_.usersCanWrite(regPath))
            Add(LineOf(profile::kClient, regPathKey), Severity::Note,
                "any user can change HKEY_LOCAL_MACHINE\\" + regPath +
                    ": whoever changes the folder in it decides what POWER starts",
                "launch-writable");
    }

    const ProfileDocument& doc_;
    const CheckEnvironment& env_;
    DocumentProfile profile_{doc_};
    CheckModule module_;
    CQRTLIRSet set_;
    // The remote keys without a code in [KeyMap_Controler], in the keys' order.
    std::vector<const char*> unlearned_;
    std::vector<Finding> findings_;
};

const char* SeverityName(Severity severity) {
    switch (severity) {
    case Severity::Error: return "error";
    case Severity::Warning: return "warning";
    case Severity::Note: return "note";
    }
    return "note";
}

}  // namespace

std::vector<Finding> CheckProfile(const ProfileDocument& document, const CheckEnvironment& environment) {
    return Checker(document, environment).Run();
}

std::string ProfileUnusableReason(std::string_view bytes) {
    if (bytes.size() > kMaxProfileBytes)
        return "is too large for a profile (" + std::to_string(bytes.size()) + " bytes, at most " +
               std::to_string(kMaxProfileBytes) + ")";
    if (bytes.find('\0') != std::string_view::npos) return "is not a text file";
    if (bytes.find_first_not_of(" \t\r\n\x1A") == std::string_view::npos) return "is empty";
    if (!ProfileDocument::Parse(bytes).HasSectionHeader()) return "has no [section]: it is not a profile";
    return {};
}

std::string CommandProblem(const std::string& command) {
    const CommandText parsed = ParseCommandText(command);
    if (!parsed.bLongEnough) return "too short, nothing is sent (write #hex or *hex)";
    if (parsed.marker != kCommandMarker && parsed.marker != kKeyDownMarker)
        return "starts with neither # nor *, nothing is sent";
    if (parsed.nParsed == 0) return "no hexadecimal number after the marker, 0 is sent";
    if (parsed.nParsed < parsed.nDigits)
        return "only the first " + std::to_string(parsed.nParsed) +
               " characters read as a hexadecimal number";
    if (parsed.marker == kCommandMarker && (parsed.number < 0 || parsed.number > static_cast<int32_t>(kCommandIdMask)))
        return "above FFFF: only the low 16 bits are sent";
    if (parsed.marker == kKeyDownMarker && (parsed.number < 0 || parsed.number > static_cast<int32_t>(kVirtualKeyMask)))
        return "above FF: only the low 8 bits are sent";
    return {};
}

std::string FormatFinding(const std::string& file, const Finding& finding) {
    return file + ":" + std::to_string(finding.line) + ": " + SeverityName(finding.severity) + ": " +
           finding.text + " [" + finding.id + "]";
}

std::string FormatSummary(const std::vector<Finding>& findings) {
    auto count = [&](Severity s) {
        return std::to_string(std::count_if(findings.begin(), findings.end(),
                                            [&](const Finding& f) { return f.severity == s; }));
    };
    return count(Severity::Error) + " errors, " + count(Severity::Warning) + " warnings, " +
           count(Severity::Note) + " notes";
}

int CheckExitStatus(const std::vector<Finding>& findings) {
    int status = 0;
    for (const Finding& f : findings) {
        if (f.severity == Severity::Error) return 2;
        if (f.severity == Severity::Warning) status = 1;
    }
    return status;
}

}  // namespace qrtl
