// The profile checker. The settings come from the monitor's own LoadProfile and
// GetClientExePath, run on the parsed document; the key maps' entries and the
// lines where each value stands come from the document itself.
#include "setup/ProfileCheck.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "config/RemoteCodes.h"
#include "dispatch/MonitorSimulation.h"
#include "product.h"

namespace qrtl {

namespace {

constexpr int32_t kTimerCostlyMs = 50;
constexpr int32_t kTimerSluggishMs = 10000;
constexpr uint32_t kMaxCode = 255;
// The value of a not-set-up finding when no TV application is chosen either.
constexpr char kNoClientChosen[] = "no-client";

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
    Checker(const ProfileDocument& doc, const CheckEnvironment& env)
        : doc_(doc), env_(env), monitor_(doc, {env.registry, nullptr}), set_(monitor_.Loaded()) {}

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
        // In line order, the order made kept on a line; the findings of a large
        // profile are many, so their places are sorted and each is moved once.
        std::vector<std::size_t> order(findings_.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return findings_[a].line < findings_[b].line; });
        std::vector<Finding> sorted;
        sorted.reserve(order.size());
        for (const std::size_t i : order) sorted.push_back(std::move(findings_[i]));
        return sorted;
    }

private:
    Finding& Add(int line, Severity severity, std::string text, FindingId kind) {
        Finding finding;
        finding.line = line;
        finding.severity = severity;
        finding.text = std::move(text);
        finding.id = FindingIdName(kind);
        finding.kind = kind;
        findings_.push_back(std::move(finding));
        return findings_.back();
    }

    void AddAboutKeys(int line, Severity severity, std::string text, FindingId kind,
                      std::vector<std::string> keys, std::vector<std::string> values) {
        Finding& finding = Add(line, severity, std::move(text), kind);
        finding.keys = std::move(keys);
        finding.values = std::move(values);
    }

    void AddAboutField(int line, Severity severity, std::string text, FindingId kind, std::string field,
                       std::vector<std::string> values) {
        Finding& finding = Add(line, severity, std::move(text), kind);
        finding.field = std::move(field);
        finding.values = std::move(values);
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
            Add(odd.line, Severity::Warning, std::move(text), FindingId::Syntax);
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
                    FindingId::SectionDuplicate)
                    .values = {section.name};
                continue;
            }
            for (const auto& entry : section.entries) {
                if (entry.key.empty()) continue;
                const auto* effective = doc_.Find(section.name, entry.key);
                if (effective != &entry)
                    Add(entry.line, Severity::Warning,
                        "\"" + entry.key + "\" repeated in [" + section.name +
                            "]: only line " + std::to_string(effective->line) + " counts",
                        FindingId::KeyDuplicate)
                        .field = entry.key;
            }
        }
    }

    void Timer() {
        const int32_t ms = set_.m_nTimer;
        const int line = LineOf(profile::kTimer.section, profile::kTimer.name);
        const std::string value = "Timer=" + std::to_string(ms);
        Finding* finding = nullptr;
        if (ms <= 0)
            finding = &Add(line, Severity::Error, value + ": the receiver is never polled", FindingId::Timer);
        else if (ms < kTimerCostlyMs)
            finding = &Add(line, Severity::Warning,
                           value + " ms polls so often that it costs CPU time; 100 or more is plenty", FindingId::Timer);
        else if (ms > kTimerSluggishMs)
            finding = &Add(line, Severity::Warning, value + " ms: keys answer so late that the remote feels dead",
                           FindingId::Timer);
        if (finding == nullptr) return;
        finding->field = profile::kTimer.name;
        finding->values = {std::to_string(ms)};
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
                FindingId::ClientMissing)
                .values = {std::to_string(set_.m_nDefaultClient)};
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
                    FindingId::ItemEmpty)
                    .field = itemKey;
            else
                Add(line, Severity::Warning,
                    "no " + itemKey + ": any program's window with the client's layout counts as the client",
                    FindingId::ItemEmpty)
                    .field = itemKey;
            return true;
        }
        const int itemLine = LineOf(profile::kClient, itemKey);
        if (std::any_of(set_.m_strItem.begin(), set_.m_strItem.end(),
                        [](char c) { return c >= 'a' && c <= 'z'; })) {
            std::string upper = set_.m_strItem;
            std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
            AddAboutField(itemLine, Severity::Error,
                          itemKey + "=" + set_.m_strItem + " has lower-case letters and never matches the "
                          "upper-cased program name; write " + upper,
                          FindingId::ItemCase, itemKey, {set_.m_strItem, upper});
        }
        if (doc_.FindSection(ClientSection()) == nullptr)
            AddAboutField(itemLine, Severity::Warning,
                          "no section [" + ClientSection() + "]: keys are recognised but nothing is sent to the client",
                          FindingId::ClientKeymap, itemKey, {ClientSection()});
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

    // The nearest key name of a name that is none, worked out once a name: a large
    // profile repeats its odd names.
    const char* Nearest(const std::string& name) {
        std::string upper = name;
        std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
        const auto known = nearest_.find(upper);
        if (known != nearest_.end()) return known->second;
        return nearest_[upper] = NearestKeyName(name);
    }

    // Names in a key-map section that are none of the remote's keys.
    void UnknownNames(const std::string& sectionName) {
        const auto* section = doc_.FindSection(sectionName);
        if (section == nullptr) return;
        for (const auto& entry : section->entries) {
            if (entry.key.empty() || !entry.hasValue || IsRemoteKeyName(entry.key)) continue;
            const std::string nearest = Nearest(entry.key);
            AddAboutField(entry.line, Severity::Warning,
                          "\"" + entry.key + "\" is not a remote key name; did you mean " + nearest + "?",
                          FindingId::KeyName, entry.key, {nearest});
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
                AddAboutKeys(entry->line, Severity::Warning,
                             std::string(name) + "=" + code + " never matches: a received code is written "
                             "with at least two digits, 00 to 255",
                             FindingId::CodeFormat, {name}, {code});
            namesByCode[code].push_back(name);
        }
        for (const auto& [code, names] : namesByCode) {
            // The later name in the list takes the code.
            for (std::size_t i = 0; i + 1 < names.size(); ++i)
                AddAboutKeys(LineOf(section, names[i]), Severity::Warning,
                             std::string(names[i]) + " shares code " + code + " with " + names.back() +
                                 ", which takes it: " + names[i] + " is never recognised",
                             FindingId::CodeShared, {names[i], names.back()}, {code});
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
                FindingId::NotSetUp);
            findings_.back().keys.assign(unlearned_.begin(), unlearned_.end());
            findings_.back().values = {NothingSetUp() ? kNoClientChosen : ""};
            return;
        }
        const bool one = unlearned_.size() == 1;
        std::string names;
        for (const char* name : unlearned_) names += (names.empty() ? "" : ", ") + std::string(name);
        Add(line, Severity::Note,
            std::to_string(unlearned_.size()) + (one ? " key has" : " keys have") + " no code yet: " +
                names + (one ? "; it does" : "; they do") + " nothing until learned",
            FindingId::CodeUnlearned)
            .keys.assign(unlearned_.begin(), unlearned_.end());
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
                AddAboutKeys(entry->line, Severity::Warning, std::string(name) + "=" + command + ": " + problem,
                             FindingId::CommandFormat, {name}, {command, problem});
            if (doc_.GetString(profile::kControllerSection, name).empty())
                AddAboutKeys(entry->line, Severity::Note,
                             std::string(name) + " has no code in [" + profile::kControllerSection +
                                 "]: this command is never sent",
                             FindingId::CommandUnmapped, {name}, {command});
        }
        // The tick reads nothing while the client's window is found, unless Control is set.
        if (anyCommand && set_.m_nControl == 0) {
            const std::string controlKey = ClientKeyText(profile::kControl);
            const bool given = doc_.Find(profile::kClient, controlKey) != nullptr;
            Add(LineOf(profile::kClient, controlKey), Severity::Warning,
                (given ? controlKey + "=0" : "no " + controlKey + " (0)") +
                    ": while the application runs, the monitor leaves the receiver to it, and the "
                    "commands of [" + section + "] are never sent; write " + controlKey + "=1",
                FindingId::ClientControl)
                .field = controlKey;
        }
    }

    void Launch() {
        const setup::LaunchFinding launch = setup::FindLaunch(doc_, *env_.registry, env_.pathKind);
        const std::string regPathKey = ClientKeyText(profile::kRegPath);
        const std::string exeKey = ClientKeyText(profile::kExeName);
        auto add = [&](const std::string& key, Severity severity, std::string text, LaunchPart part) {
            Finding& finding = Add(LineOf(profile::kClient, key), severity, std::move(text), FindingId::Launch);
            finding.field = key;
            finding.launch = part;
            finding.values = {launch.regPath, launch.regFolder, launch.exeName, launch.program};
        };
        if (launch.extensionAdded)
            add(exeKey, Severity::Note,
                exeKey + "=" + launch.exeName + " has no extension: \".exe\" is added when it starts",
                LaunchPart::ExtensionAdded);
        switch (launch.state) {
        case setup::LaunchState::NoLaunchLines:
            // POWER is meant to start nothing, which is a choice (a client started
            // some other way), not a fault.
            add(regPathKey, Severity::Note, "no " + regPathKey + ": POWER starts no client", LaunchPart::NoLaunchLines);
            return;
        case setup::LaunchState::FolderUnreadable:
            add(regPathKey, Severity::Warning,
                "the client's folder cannot be read from HKEY_LOCAL_MACHINE\\" + launch.regPath + " value \"" +
                    launch.regFolder + "\": POWER cannot start the client",
                LaunchPart::FolderUnreadable);
            return;
        case setup::LaunchState::ProgramMissing:
        case setup::LaunchState::ProgramIsFolder:
            // A folder at the path is no program either: the words stay those of a missing one.
            add(exeKey, Severity::Warning, launch.program + " does not exist: POWER cannot start the client",
                LaunchPart::ProgramNotStartable);
            return;
        case setup::LaunchState::Starts:
        case setup::LaunchState::NotChecked:
            return;
        }
    }

    const ProfileDocument& doc_;
    const CheckEnvironment& env_;
    dispatch::MonitorSimulation monitor_;
    const CQRTLIRSet& set_;
    // The remote keys without a code in [KeyMap_Controler], in the keys' order.
    std::vector<const char*> unlearned_;
    std::vector<Finding> findings_;
    std::unordered_map<std::string, const char*> nearest_;
};

const char* const kFindingIdNames[] = {
    "syntax",        "section-duplicate", "key-duplicate", "timer",          "client-missing",   "item-empty",
    "item-case",     "client-keymap",     "not-set-up",    "code-unlearned", "key-name",         "code-format",
    "code-shared",   "command-format",    "command-unmapped", "client-control", "launch",
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

const char* FindingIdName(FindingId id) { return kFindingIdNames[static_cast<int>(id)]; }

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
