#include "setup/RemoteRows.h"

#include <algorithm>
#include <deque>
#include <string_view>

#include "config/QRTLIRSet.h"
#include "setup/CheckWords.h"
#include "setup/LearnedCodes.h"

namespace qrtl::setup {

namespace {

constexpr char kNewLine[] = "\r\n";
// How much longer the owner's words for a finding may be than the checker's
// without growing the text again.
constexpr std::size_t kOwnerWordsRoom = 32;

// The file's lines with their line ends, split as the profile reader counts them:
// at CR LF, LF or a lone CR. Line n of the reader is element n - 1.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines.push_back(text.substr(start, i + 1 - start));
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// The line's end ("\r\n", "\n", "\r" or none at the file's end).
std::string_view LineEnd(std::string_view line) {
    std::size_t n = 0;
    while (n < line.size() && (line[line.size() - 1 - n] == '\r' || line[line.size() - 1 - n] == '\n'))
        ++n;
    return line.substr(line.size() - n);
}

// The canonical remote key name of `name` given in any case; empty when none.
std::string RemoteKeyOf(std::string_view name) {
    const int index = RemoteKeyIndex(name);
    return index < 0 ? std::string() : RemoteKeyNames[index];
}

// What the section and key on each line are about, in line order, for the lines
// that `wanted(line)` asks for: `tie(line, about)`. Lines of no key of the key
// maps and outside [Client] are about nothing, and are not told.
template <typename Wanted, typename Tie>
void WalkLines(const ProfileDocument& doc, const std::string& clientSection, Wanted wanted, Tie tie) {
    for (const auto& section : doc.Sections()) {
        const bool keyMap = ProfileNameEquals(section.name, profile::kControllerSection) ||
                            ProfileNameEquals(section.name, clientSection);
        const bool client = ProfileNameEquals(section.name, profile::kClient);
        if (client && section.line > 0 && wanted(section.line))
            tie(section.line, FindingAbout{FindingTarget::Client, {}});
        for (const auto& entry : section.entries) {
            if (entry.line <= 0 || !wanted(entry.line)) continue;
            std::string key = keyMap ? RemoteKeyOf(entry.key) : std::string();
            if (!key.empty())
                tie(entry.line, FindingAbout{FindingTarget::Key, std::move(key)});
            else if (client)
                tie(entry.line, FindingAbout{FindingTarget::Client, {}});
        }
    }
}

// What the section and key on each line with a finding are about: line n is
// element n. Made once per profile, so that tying every finding to its line costs
// one look-up each.
std::vector<FindingAbout> LineTargets(const ProfileDocument& doc, const std::string& clientSection,
                                      const std::vector<Finding>& findings) {
    std::vector<FindingAbout> lines(static_cast<std::size_t>(doc.LineCount()) + 1);
    std::vector<bool> wanted(lines.size(), false);
    for (const Finding& f : findings)
        if (f.line > 0 && static_cast<std::size_t>(f.line) < lines.size()) wanted[static_cast<std::size_t>(f.line)] = true;
    auto isWanted = [&](int line) {
        return static_cast<std::size_t>(line) < lines.size() && wanted[static_cast<std::size_t>(line)];
    };
    WalkLines(doc, clientSection, isWanted,
              [&](int line, FindingAbout about) { lines[static_cast<std::size_t>(line)] = std::move(about); });
    return lines;
}

}  // namespace

std::vector<FindingAbout> FindingTargets(const ProfileDocument& doc, const std::string& clientSection,
                                         const std::vector<Finding>& findings) {
    const std::vector<FindingAbout> lines = LineTargets(doc, clientSection, findings);
    std::vector<FindingAbout> about;
    about.reserve(findings.size());
    for (const Finding& finding : findings) {
        const bool known = finding.line > 0 && static_cast<std::size_t>(finding.line) < lines.size();
        about.push_back(known ? lines[static_cast<std::size_t>(finding.line)] : FindingAbout{});
    }
    return about;
}

std::string SeverityInWords(Severity severity) {
    switch (severity) {
    case Severity::Error: return "Error";
    case Severity::Warning: return "Warning";
    case Severity::Note: return "Note";
    }
    return "Note";
}

EditedProfile::EditedProfile(std::string fileText)
    : text_(std::move(fileText)), document_(ProfileDocument::Parse(text_)) {}

void EditedProfile::Set(const std::string& section, const std::string& key, const std::string& value) {
    Change({section, key, value});
}

void EditedProfile::Remove(const std::string& section, const std::string& key) {
    Change({section, key, {}, ChangeKind::RemoveKey});
}

void EditedProfile::RemoveSection(const std::string& section) {
    Change({section, {}, {}, ChangeKind::RemoveSection});
}

void EditedProfile::Change(const std::vector<ProfileChange>& changes) {
    for (const ProfileChange& change : changes) Record(change);
    if (ApplyInOnePass(changes)) return;
    for (const ProfileChange& change : changes) Apply(change);
}

void EditedProfile::Change(const ProfileChange& change) {
    Record(change);
    Apply(change);
}

void EditedProfile::Record(const ProfileChange& change) {
    auto sameSection = [&](const ProfileChange& c) { return ProfileNameEquals(c.section, change.section); };
    if (change.kind == ChangeKind::RemoveSection) {
        // What was set inside it is gone with it; the removal goes last, so that a
        // later change of the same section lands after it when saved.
        changes_.erase(std::remove_if(changes_.begin(), changes_.end(), sameSection), changes_.end());
        changes_.push_back({change.section, {}, {}, ChangeKind::RemoveSection});
    } else {
        bool known = false;
        for (ProfileChange& c : changes_) {
            if (c.kind != ChangeKind::RemoveSection && sameSection(c) && ProfileNameEquals(c.key, change.key)) {
                c.value = change.value;
                c.kind = change.kind;
                known = true;
            }
        }
        if (!known) changes_.push_back(change);
    }
}

void EditedProfile::Apply(const ProfileChange& change) {
    std::vector<std::string> lines = SplitLines(text_);
    if (change.kind != ChangeKind::Set) {
        RemoveLines(change, lines);
        return;
    }
    const std::string line = change.key + "=" + change.value;
    const ProfileDocument::Section* section = document_.FindSection(change.section);
    if (section == nullptr || section->line == 0) {
        // A new section at the end, after a line end of its own.
        if (!lines.empty() && LineEnd(lines.back()).empty()) lines.back() += kNewLine;
        lines.push_back("[" + change.section + "]" + kNewLine);
        lines.push_back(line + kNewLine);
    } else if (const ProfileDocument::Entry* entry = document_.Find(change.section, change.key)) {
        std::string& old = lines[static_cast<std::size_t>(entry->line - 1)];
        old = line + std::string(LineEnd(old));
    } else {
        int last = section->line;
        for (const auto& e : section->entries) last = std::max(last, e.line);
        std::string& after = lines[static_cast<std::size_t>(last - 1)];
        if (LineEnd(after).empty()) after += kNewLine;
        lines.insert(lines.begin() + last, line + kNewLine);
    }
    SetText(lines);
}

namespace {

// The text split once into sections for a batch of changes: the lines before the
// first header, then each header with the lines up to the next. Each line knows the
// key it holds, as the reader found it, so that no change parses the text again.
// Lines are views of the text and of the document's keys, both left as they are
// until Text() is taken; only the lines a change writes are held here.
class SectionedText {
public:
    SectionedText(std::string_view text, const ProfileDocument& document) {
        std::vector<const ProfileDocument::Entry*> entryAt(static_cast<std::size_t>(document.LineCount()) + 2);
        std::vector<const ProfileDocument::Section*> headerAt(entryAt.size());
        for (const auto& section : document.Sections()) {
            if (section.line > 0) headerAt[static_cast<std::size_t>(section.line)] = &section;
            for (const auto& entry : section.entries) entryAt[static_cast<std::size_t>(entry.line)] = &entry;
        }
        blocks_.push_back(Block{});
        std::size_t start = 0;
        for (std::size_t n = 1; start < text.size(); ++n) {
            // As SplitLines cuts them: at CR LF, LF or a lone CR.
            std::size_t end = text.find_first_of("\r\n", start);
            if (end == std::string_view::npos) end = text.size();
            else end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
            if (n < headerAt.size() && headerAt[n] != nullptr) blocks_.push_back(Block{headerAt[n]->name, false, {}});
            Line line{text.substr(start, end - start), false, {}};
            if (n < entryAt.size() && entryAt[n] != nullptr) {
                line.entry = true;
                line.key = entryAt[n]->key;
            }
            blocks_.back().lines.push_back(line);
            start = end;
        }
    }

    // As EditedProfile::Apply does it, on the sections held here.
    void Apply(const ProfileChange& change) {
        Block* block = FindBlock(change.section);
        if (change.kind == ChangeKind::RemoveSection) {
            if (block != nullptr && !block->headerless) blocks_.erase(blocks_.begin() + (block - blocks_.data()));
            return;
        }
        if (change.kind == ChangeKind::RemoveKey) {
            if (block == nullptr) return;
            const auto entry = FindEntry(*block, change.key);
            if (entry != block->lines.end()) block->lines.erase(entry);
            return;
        }
        const std::string text = change.key + "=" + change.value;
        if (block == nullptr || block->headerless) {
            // A new section at the end, after a line end of its own.
            if (Line* last = LastLine(); last != nullptr && LineEnd(last->text).empty())
                last->text = Held(std::string(last->text) + kNewLine);
            blocks_.push_back(Block{Held(change.section), false, {}});
            blocks_.back().lines.push_back({Held("[" + change.section + "]" + kNewLine), false, {}});
            blocks_.back().lines.push_back({Held(text + kNewLine), true, Held(change.key)});
            return;
        }
        const auto entry = FindEntry(*block, change.key);
        if (entry != block->lines.end()) {
            entry->text = Held(text + std::string(LineEnd(entry->text)));
            return;
        }
        // After the section's last key, or its header when it has none.
        std::size_t after = 0;
        for (std::size_t i = 0; i < block->lines.size(); ++i)
            if (block->lines[i].entry) after = i;
        Line& previous = block->lines[after];
        if (LineEnd(previous.text).empty()) previous.text = Held(std::string(previous.text) + kNewLine);
        block->lines.insert(block->lines.begin() + static_cast<std::ptrdiff_t>(after + 1),
                            Line{Held(text + kNewLine), true, Held(change.key)});
    }

    std::string Text() const {
        std::size_t size = 0;
        for (const Block& block : blocks_)
            for (const Line& line : block.lines) size += line.text.size();
        std::string text;
        text.reserve(size);
        for (const Block& block : blocks_)
            for (const Line& line : block.lines) text += line.text;
        return text;
    }

private:
    struct Line {
        std::string_view text;  // with its line end
        bool entry = false;
        std::string_view key;
    };
    struct Block {
        std::string_view name;
        bool headerless = true;  // the lines before the first header
        std::vector<Line> lines;
    };

    // A text this batch writes, kept where views of it stay valid.
    std::string_view Held(std::string text) {
        held_.push_back(std::move(text));
        return held_.back();
    }
    // The first section of that name: the only one the reader searches.
    Block* FindBlock(const std::string& name) {
        for (Block& block : blocks_)
            if (ProfileNameEquals(block.name, name)) return &block;
        return nullptr;
    }
    static std::vector<Line>::iterator FindEntry(Block& block, const std::string& key) {
        return std::find_if(block.lines.begin(), block.lines.end(),
                            [&](const Line& line) { return line.entry && ProfileNameEquals(line.key, key); });
    }
    Line* LastLine() {
        for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block)
            if (!block->lines.empty()) return &block->lines.back();
        return nullptr;
    }

    std::vector<Block> blocks_;
    std::deque<std::string> held_;
};

// A name that reads back as itself on a line of its own: no blank at either end, no
// line break, and nothing that makes a key line a header, a comment or two parts.
bool PlainName(const std::string& name, const char* refused) {
    if (name.empty() || name.find_first_of(refused) != std::string::npos) return false;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; };
    return !blank(name.front()) && !blank(name.back());
}

bool PlainChange(const ProfileChange& change) {
    if (!PlainName(change.section, "\r\n]")) return false;
    if (change.kind == ChangeKind::RemoveSection) return true;
    return PlainName(change.key, "\r\n=") && change.key.front() != '[' && change.key.front() != ';' &&
           change.value.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

bool EditedProfile::ApplyInOnePass(const std::vector<ProfileChange>& changes) {
    if (!std::all_of(changes.begin(), changes.end(), PlainChange)) return false;
    SectionedText sectioned(text_, document_);
    for (const ProfileChange& change : changes) sectioned.Apply(change);
    text_ = sectioned.Text();
    document_ = ProfileDocument::Parse(text_);
    return true;
}

void EditedProfile::SetText(const std::vector<std::string>& lines) {
    text_.clear();
    for (const std::string& l : lines) text_ += l;
    document_ = ProfileDocument::Parse(text_);
}

void EditedProfile::RemoveLines(const ProfileChange& change, std::vector<std::string>& lines) {
    std::size_t first = 0;
    std::size_t end = 0;
    if (change.kind == ChangeKind::RemoveKey) {
        const ProfileDocument::Entry* entry = document_.Find(change.section, change.key);
        if (entry == nullptr) return;
        first = static_cast<std::size_t>(entry->line - 1);
        end = first + 1;
    } else {
        const ProfileDocument::Section* section = document_.FindSection(change.section);
        if (section == nullptr || section->line == 0) return;
        // Every line up to the next header, comments included, as the profile
        // functions remove a section.
        int next = document_.LineCount() + 1;
        for (const auto& other : document_.Sections())
            if (other.line > section->line) next = std::min(next, other.line);
        first = static_cast<std::size_t>(section->line - 1);
        end = std::min(lines.size(), static_cast<std::size_t>(next - 1));
    }
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.begin() + static_cast<std::ptrdiff_t>(end));
    SetText(lines);
}

std::string EditedProfile::Get(const std::string& section, const std::string& key) const {
    return document_.GetString(section, key);
}

int32_t EditedProfile::GetInt(const std::string& section, const std::string& key, int32_t def) const {
    return document_.GetInt(section, key, def);
}

void EditedProfile::MarkSaved() { changes_.clear(); }

std::string EditedProfile::Get(const profile::Key& key, int32_t nClient) const {
    return Get(key.section, profile::KeyName(key, nClient));
}

int32_t EditedProfile::GetInt(const profile::Key& key, int32_t nClient) const {
    return GetInt(key.section, profile::KeyName(key, nClient), key.def);
}

int32_t EditedProfile::ClientIndex() const {
    return editedClient_ >= 0 ? editedClient_ : GetInt(profile::kDefaultClient);
}

std::string EditedProfile::ClientItem() const {
    return Get(profile::kItem, ClientIndex());
}

std::string EditedProfile::ClientSection() const {
    return std::string(profile::kClientSectionPrefix) + ClientItem();
}

std::vector<KeyRow> KeyRows(const EditedProfile& profile, const AppCatalog& catalog,
                            const std::vector<FindingRow>& findings) {
    const std::string clientSection = profile.ClientSection();
    // The kinds of finding about each key that change its status, gathered in one
    // pass: a large profile has many findings, and most are of no other kind.
    std::vector<std::vector<FindingId>> kindsOf(kRemoteKeyCount);
    for (const FindingRow& f : findings) {
        if (f.target != FindingTarget::Key || (f.kind != FindingId::CodeFormat && f.kind != FindingId::CommandFormat))
            continue;
        for (int k = 0; k < kRemoteKeyCount; ++k)
            if (f.key == RemoteKeyNames[k]) {
                auto& kinds = kindsOf[static_cast<std::size_t>(k)];
                if (std::find(kinds.begin(), kinds.end(), f.kind) == kinds.end()) kinds.push_back(f.kind);
                break;
            }
    }
    std::vector<KeyRow> rows;
    rows.reserve(kRemoteKeyCount);
    for (int i = 0; i < kRemoteKeyCount; ++i) {
        KeyRow row;
        row.name = RemoteKeyNames[i];
        row.legend = RemoteKeyLegend[i];
        row.code = profile.Get(profile::kControllerSection, row.name);
        row.command = profile.Get(clientSection, row.name);
        row.action = DescribeCommandText(catalog, row.command);
        // The later key in the monitor's order takes a shared code.
        for (int later = i + 1; later < kRemoteKeyCount && !row.code.empty(); ++later)
            if (profile.Get(profile::kControllerSection, RemoteKeyNames[later]) == row.code)
                row.takenBy = RemoteKeyNames[later];

        auto found = [&](FindingId kind) {
            const auto& kinds = kindsOf[static_cast<std::size_t>(i)];
            return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
        };
        if (row.code.empty())
            row.status = KeyStatus::NotLearned;
        else if (found(FindingId::CodeFormat))
            row.status = KeyStatus::BadCode;
        else if (!row.takenBy.empty())
            row.status = KeyStatus::CodeTaken;
        else if (row.command.empty())
            row.status = KeyStatus::NoAction;
        else if (found(FindingId::CommandFormat))
            row.status = KeyStatus::BadAction;
        else
            row.status = KeyStatus::Ready;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string StatusInWords(const KeyRow& row) {
    switch (row.status) {
    case KeyStatus::Ready: return "ready";
    case KeyStatus::NotLearned: return "not learned";
    case KeyStatus::NoAction: return "no action";
    case KeyStatus::BadCode: return "code never received";
    case KeyStatus::CodeTaken: return "code goes to " + row.takenBy;
    case KeyStatus::BadAction: return "action not sent as meant";
    }
    return {};
}

std::vector<FindingRow> FindingsInWords(const EditedProfile& profile,
                                        const CheckEnvironment& environment) {
    const ProfileDocument& doc = profile.Document();
    std::vector<Finding> findings = CheckProfile(doc, environment);
    std::vector<FindingRow> rows(findings.size());
    for (std::size_t i = 0; i < findings.size(); ++i) {
        Finding& finding = findings[i];
        FindingRow& row = rows[i];
        row.severity = finding.severity;
        row.kind = finding.kind;
        // Room for the owner's words as well, which the window writes over these.
        std::string text;
        const std::string words = CheckText(finding);
        text.reserve(words.size() + kOwnerWordsRoom);
        row.text = Appended(std::move(text), {SeverityInWords(finding.severity), ": ", words});
        row.id = FindingIdName(finding.kind);
        row.finding = std::move(finding);
    }
    // The findings are in line order, as are the sections and their lines: one
    // walk along both ties each finding to its line.
    std::size_t next = 0;
    auto wanted = [&](int line) {
        while (next < rows.size() && rows[next].finding.line < line) ++next;
        return next < rows.size() && rows[next].finding.line == line;
    };
    auto tie = [&](int line, const FindingAbout& about) {
        for (std::size_t i = next; i < rows.size() && rows[i].finding.line == line; ++i) {
            rows[i].target = about.target;
            rows[i].key = about.key;
        }
    };
    WalkLines(doc, profile.ClientSection(), wanted, tie);
    return rows;
}

}  // namespace qrtl::setup
