// The profile checker. The settings come from the monitor's own LoadProfile and
// GetClientExePath, run on the parsed document (a simulated monitor); the key
// maps' entries and the lines where each value stands come from the document
// itself. It makes structured findings; CheckText words them.
#include "setup/ProfileCheck.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <unordered_map>
#include <utility>

#include "config/RemoteCodes.h"
#include "dispatch/MonitorSimulation.h"
#include "setup/CheckWords.h"
#include "setup/LearnedCodes.h"

namespace qrtl {

namespace {

constexpr int32_t kTimerCostlyMs = 50;
constexpr int32_t kTimerSluggishMs = 10000;
constexpr uint32_t kMaxCode = 255;
// The findings that are about the whole profile rather than one line of it.
constexpr std::size_t kFewFindings = 16;

bool IsRemoteKeyName(std::string_view name) { return setup::RemoteKeyIndex(name) >= 0; }

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
        : doc_(doc), env_(env), monitor_(doc, {env.registry, nullptr}), set_(monitor_.Loaded()) {
        // About one finding a line at most, so that they are seldom moved as they
        // grow; the pages of what stays unused are never touched.
        findings_.reserve(static_cast<std::size_t>(std::max(doc.LineCount(), 0)) + kFewFindings);
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
        return InLineOrder();
    }

private:
    // The findings by line, the order made kept on a line: counted by line, as a
    // large profile has many, then each moved once to its place, cycle by cycle,
    // without a second list of them all.
    std::vector<Finding> InLineOrder() {
        const std::size_t lines = static_cast<std::size_t>(std::max(doc_.LineCount(), 1)) + 1;
        auto slot = [&](const Finding& f) { return std::min(static_cast<std::size_t>(std::max(f.line, 0)), lines - 1); };
        std::vector<std::size_t> start(lines + 1, 0);
        for (const Finding& f : findings_) ++start[slot(f) + 1];
        for (std::size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
        // from[j]: the finding that goes to place j.
        std::vector<std::size_t> from(findings_.size());
        for (std::size_t i = 0; i < findings_.size(); ++i) from[start[slot(findings_[i])]++] = i;
        for (std::size_t first = 0; first < from.size(); ++first) {
            if (from[first] == first) continue;
            Finding held = std::move(findings_[first]);
            std::size_t j = first;
            while (from[j] != first) {
                const std::size_t next = from[j];
                findings_[j] = std::move(findings_[next]);
                from[j] = j;
                j = next;
            }
            findings_[j] = std::move(held);
            from[j] = j;
        }
        return std::move(findings_);
    }

    Finding& Add(int line, Severity severity, FindingId kind, FindingDetail detail = FindingDetail::None) {
        Finding& finding = findings_.emplace_back();
        finding.line = line;
        finding.severity = severity;
        finding.kind = kind;
        finding.detail = detail;
        return finding;
    }

    Finding& AddAboutKeys(int line, Severity severity, FindingId kind, std::vector<std::string> keys,
                          std::string quoted) {
        Finding& finding = Add(line, severity, kind);
        finding.keys = std::move(keys);
        finding.quoted = std::move(quoted);
        return finding;
    }

    Finding& AddAboutField(int line, Severity severity, FindingId kind, std::string field,
                           FindingDetail detail = FindingDetail::None) {
        Finding& finding = Add(line, severity, kind, detail);
        finding.field = std::move(field);
        return finding;
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
            FindingDetail detail = FindingDetail::NoEquals;
            switch (odd.kind) {
            case ProfileDocument::OddKind::NoEquals:
                if (odd.line == 1 && odd.text.rfind("\xEF\xBB\xBF", 0) == 0) detail = FindingDetail::ByteOrderMark;
                break;
            case ProfileDocument::OddKind::NoClosingBracket: detail = FindingDetail::NoClosingBracket; break;
            case ProfileDocument::OddKind::BeforeSection: detail = FindingDetail::BeforeSection; break;
            case ProfileDocument::OddKind::EmptyKey: detail = FindingDetail::EmptyKey; break;
            }
            Add(odd.line, Severity::Warning, FindingId::Syntax, detail).quoted = odd.text;
        }
    }

    // Only the first section of a name and the first line of a key count.
    void Duplicates() {
        for (const auto& section : doc_.Sections()) {
            if (section.line == 0) continue;
            const auto* first = doc_.FindSection(section.name);
            if (first != &section) {
                Finding& finding = Add(section.line, Severity::Warning, FindingId::SectionDuplicate);
                finding.section = section.name;
                finding.otherLine = first->line;
                continue;
            }
            // The section's own first entries, without finding the section again for
            // each of its (perhaps tens of thousands of) lines.
            for (const auto& entry : section.entries) {
                if (entry.key.empty()) continue;
                const auto* effective = ProfileDocument::FindIn(section, entry.key);
                if (effective != &entry) {
                    Finding& finding = AddAboutField(entry.line, Severity::Warning, FindingId::KeyDuplicate, entry.key);
                    finding.section = section.name;
                    finding.otherLine = effective->line;
                }
            }
        }
    }

    void Timer() {
        const int32_t ms = set_.m_nTimer;
        const int line = LineOf(profile::kTimer.section, profile::kTimer.name);
        Severity severity = Severity::Warning;
        FindingDetail detail = FindingDetail::None;
        if (ms <= 0) {
            severity = Severity::Error;
            detail = FindingDetail::TimerOff;
        } else if (ms < kTimerCostlyMs) {
            detail = FindingDetail::TimerCostly;
        } else if (ms > kTimerSluggishMs) {
            detail = FindingDetail::TimerSluggish;
        } else {
            return;
        }
        AddAboutField(line, severity, FindingId::Timer, profile::kTimer.name, detail).number = ms;
    }

    // False when the active client is not configured at all.
    bool Client() {
        const std::string itemKey = ClientKeyText(profile::kItem);
        if (set_.m_strItem.empty() && set_.m_strCaption.empty() && set_.m_strClassName.empty()) {
            // A profile with nothing set up yet is told so once, by the key map.
            if (NothingSetUp()) return false;
            AddAboutField(LineOf(profile::kDefaultClient.section, profile::kDefaultClient.name), Severity::Error,
                          FindingId::ClientMissing, profile::kDefaultClient.name)
                .number = set_.m_nDefaultClient;
            return false;
        }
        if (set_.m_strItem.empty()) {
            int line = LineOf(profile::kClient, itemKey);
            if (doc_.Find(profile::kClient, itemKey) == nullptr)
                line = LineOf(profile::kClient, set_.m_strCaption.empty() ? ClientKeyText(profile::kClassName)
                                                                          : ClientKeyText(profile::kCaption));
            // Without the control line's 1 the remote goes silent as well.
            const bool silent = set_.m_nControl == 0;
            AddAboutField(line, silent ? Severity::Error : Severity::Warning, FindingId::ItemEmpty, itemKey,
                          silent ? FindingDetail::ControlOff : FindingDetail::None)
                .number = set_.m_nDefaultClient;
            return true;
        }
        Title();
        const int itemLine = LineOf(profile::kClient, itemKey);
        if (std::any_of(set_.m_strItem.begin(), set_.m_strItem.end(),
                        [](char c) { return c >= 'a' && c <= 'z'; })) {
            AddAboutField(itemLine, Severity::Error, FindingId::ItemCase, itemKey).quoted = set_.m_strItem;
        }
        if (doc_.FindSection(ClientSection()) == nullptr)
            AddAboutField(itemLine, Severity::Warning, FindingId::ClientKeymap, itemKey).section = ClientSection();
        return true;
    }

    // A title kept in the profile must match exactly; when it changes (with the
    // channel, or a document's name) the search falls back on the child ids, and
    // without all three of them nothing finds the window.
    void Title() {
        if (set_.m_strCaption.empty()) return;
        if (set_.m_nChild0 != 0 && set_.m_nChild1 != 0 && set_.m_nChild2 != 0) return;
        const std::string captionKey = ClientKeyText(profile::kCaption);
        Finding& finding =
            AddAboutField(LineOf(profile::kClient, captionKey), Severity::Note, FindingId::ClientTitle, captionKey);
        finding.quoted = set_.m_strCaption;
        finding.number = set_.m_nDefaultClient;
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
            AddAboutField(entry.line, Severity::Warning, FindingId::KeyName, entry.key).nearestKey = Nearest(entry.key);
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
            if (!IsReceivableCode(code)) AddAboutKeys(entry->line, Severity::Warning, FindingId::CodeFormat, {name}, code);
            namesByCode[code].push_back(name);
        }
        for (const auto& [code, names] : namesByCode) {
            // The later name in the list takes the code.
            for (std::size_t i = 0; i + 1 < names.size(); ++i)
                AddAboutKeys(LineOf(section, names[i]), Severity::Warning, FindingId::CodeShared,
                             {names[i], names.back()}, code);
        }
    }

    // Keys without a code are not mistakes but keys not learned yet: one line for
    // all of them, and for a profile without any, that the remote is not set up.
    void Unlearned() {
        if (unlearned_.empty()) return;
        const auto* section = doc_.FindSection(profile::kControllerSection);
        const int line = section != nullptr ? section->line : 1;
        if (NoKeyLearned()) {
            Add(line, Severity::Warning, FindingId::NotSetUp,
                NothingSetUp() ? FindingDetail::NothingChosen : FindingDetail::None)
                .keys.assign(unlearned_.begin(), unlearned_.end());
            return;
        }
        Add(line, Severity::Note, FindingId::CodeUnlearned).keys.assign(unlearned_.begin(), unlearned_.end());
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
            const CommandProblemCode problem = CommandProblem(command);
            if (!problem.Ok())
                AddAboutKeys(entry->line, Severity::Warning, FindingId::CommandFormat, {name}, command).command = problem;
            if (doc_.GetString(profile::kControllerSection, name).empty())
                AddAboutKeys(entry->line, Severity::Note, FindingId::CommandUnmapped, {name}, command);
        }
        // The tick reads nothing while the client's window is found, unless Control is set.
        if (anyCommand && set_.m_nControl == 0) {
            const std::string controlKey = ClientKeyText(profile::kControl);
            const bool given = doc_.Find(profile::kClient, controlKey) != nullptr;
            AddAboutField(LineOf(profile::kClient, controlKey), Severity::Warning, FindingId::ClientControl, controlKey,
                          given ? FindingDetail::None : FindingDetail::ControlMissing)
                .section = section;
        }
    }

    void Launch() {
        const auto start = std::make_shared<const setup::LaunchFinding>(
            setup::FindLaunch(doc_, *env_.registry, env_.pathKind));
        const setup::LaunchFinding& launch = *start;
        auto add = [&](const profile::Key& key, Severity severity, LaunchPart part) {
            const std::string name = ClientKeyText(key);
            Finding& finding = Add(LineOf(profile::kClient, name), severity, FindingId::Launch);
            finding.field = name;
            finding.launch = part;
            finding.start = start;
        };
        if (launch.extensionAdded) add(profile::kExeName, Severity::Note, LaunchPart::ExtensionAdded);
        // The monitor starts no path with a quote in it: the quote could add arguments.
        if (launch.program.find('"') != std::string::npos || launch.exeName.find('"') != std::string::npos) {
            const bool inName = launch.exeName.find('"') != std::string::npos;
            const std::string name = ClientKeyText(inName ? profile::kExeName : profile::kRegPath);
            Finding& finding = Add(LineOf(profile::kClient, name), Severity::Warning, FindingId::LaunchQuote);
            finding.field = name;
            finding.start = start;
            return;
        }
        switch (launch.state) {
        case setup::LaunchState::NoLaunchLines:
            // POWER is meant to start nothing, which is a choice (a client started
            // some other way), not a fault.
            add(profile::kRegPath, Severity::Note, LaunchPart::NoLaunchLines);
            return;
        case setup::LaunchState::FolderUnreadable:
            add(profile::kRegPath, Severity::Warning, LaunchPart::FolderUnreadable);
            return;
        case setup::LaunchState::ProgramMissing:
        case setup::LaunchState::ProgramIsFolder:
            add(profile::kExeName, Severity::Warning, LaunchPart::ProgramNotStartable);
            return;
        case setup::LaunchState::Starts:
        case setup::LaunchState::NotChecked:
            break;
        }
        // Whoever may change the key decides what POWER starts.
        const std::string regPathKey = ClientKeyText(profile::kRegPath);
        const std::string& regPath = launch.regPath;
        if (!regPath.empty() && env_.usersCanWrite && env_.usersCanWrite(regPath)) {
            Finding& finding = Add(LineOf(profile::kClient, regPathKey), Severity::Note, FindingId::LaunchWritable);
            finding.field = regPathKey;
            finding.start = start;
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

constexpr const char* kFindingIdNames[] = {
    "syntax",        "section-duplicate", "key-duplicate", "timer",          "client-missing",   "item-empty",
    "item-case",     "client-keymap",     "not-set-up",    "code-unlearned", "key-name",         "code-format",
    "code-shared",   "command-format",    "command-unmapped", "client-control", "launch",
    "launch-writable", "launch-quote", "client-title",
};
static_assert(std::size(kFindingIdNames) == kFindingIdCount, "a name for each kind of finding");

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

ProfileUnusable ProfileUnusableReason(std::string_view bytes) {
    if (bytes.size() > kMaxProfileBytes) return ProfileUnusable::TooLarge;
    if (bytes.find('\0') != std::string_view::npos) return ProfileUnusable::NotText;
    if (bytes.find_first_not_of(" \t\r\n\x1A") == std::string_view::npos) return ProfileUnusable::Empty;
    if (!ProfileDocument::Parse(bytes).HasSectionHeader()) return ProfileUnusable::NoSection;
    return ProfileUnusable::None;
}

CommandProblemCode CommandProblem(const std::string& command) {
    const CommandText parsed = ParseCommandText(command);
    CommandProblemCode problem;
    if (!parsed.bLongEnough)
        problem.fault = CommandFault::TooShort;
    else if (parsed.marker != kCommandMarker && parsed.marker != kKeyDownMarker)
        problem.fault = CommandFault::NoMarker;
    else if (parsed.nParsed == 0)
        problem.fault = CommandFault::NoNumber;
    else if (parsed.nParsed < parsed.nDigits)
        problem.fault = CommandFault::PartlyRead;
    else if (parsed.marker == kCommandMarker &&
             (parsed.number < 0 || parsed.number > static_cast<int32_t>(kCommandIdMask)))
        problem.fault = CommandFault::AboveCommandId;
    else if (parsed.marker == kKeyDownMarker &&
             (parsed.number < 0 || parsed.number > static_cast<int32_t>(kVirtualKeyMask)))
        problem.fault = CommandFault::AboveVirtualKey;
    if (problem.fault == CommandFault::PartlyRead) problem.digitsRead = parsed.nParsed;
    return problem;
}

std::string FormatFinding(const std::string& file, const Finding& finding) {
    return Concatenated({file, ":", std::to_string(finding.line), ": ", SeverityName(finding.severity), ": ",
                         CheckText(finding), " [", FindingIdName(finding.kind), "]"});
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
