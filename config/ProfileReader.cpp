// The profile reader. Its rules were taken from the profile functions themselves,
// file by file (see the parity test of the Windows suite):
//   - a line ends at CR LF, LF or a lone CR; blanks (and Ctrl-Z) around a line,
//     around a name and at the start of a value are dropped;
//   - "[" starts a header; the name runs to the last "]" of the line, blanks
//     around it dropped, and what follows is ignored; a header without "]" is
//     read as an ordinary line;
//   - names compare without case; only the first section of a name is searched,
//     and in it the first line of a key wins, even a line without "=";
//   - the value is what follows the first "="; one pair of surrounding quotes
//     (" or ') is removed when read, and a read returns at most 255 characters;
//   - an integer is the leading number after blanks and a sign, decimal unless
//     it starts with 0x (hexadecimal), 0o (octal) or 0b (binary);
//   - a UTF-8 byte order mark is not special: Windows reads its three bytes as
//     text, so a header on the first line is not seen. (Wine skips the mark.)
#include "config/ProfileReader.h"

#include <algorithm>

namespace qrtl {

namespace {

// 0x1A is the old end-of-file mark, which the profile functions treat as a blank.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' ||
           c == '\x1A';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) c = LowerAscii(c);
    return lower;
}

}  // namespace

bool ProfileNameEquals(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
    ProfileDocument doc;
    // Lines before any header belong to a nameless section that the monitor never reads.
    doc.sections_.push_back(Section{});
    Section* current = &doc.sections_.back();
    bool inHeaderlessPart = true;

    std::size_t pos = 0;
    int lineNo = 0;
    while (pos < bytes.size()) {
        std::size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
        std::size_t next = end;
        if (next < bytes.size()) next += (bytes[next] == '\r' && next + 1 < bytes.size() &&
                                          bytes[next + 1] == '\n')
                                             ? 2
                                             : 1;
        ++lineNo;
        const std::string_view line = Trim(bytes.substr(pos, end - pos));
        pos = next;
        if (line.empty()) continue;

        if (line.front() == '[') {
            const std::size_t close = line.find_last_of(']');
            if (close != std::string_view::npos && close > 0) {
                doc.sections_.push_back(
                    Section{std::string(Trim(line.substr(1, close - 1))), lineNo, {}, {}});
                current = &doc.sections_.back();
                inHeaderlessPart = false;
                continue;
            }
            // Without "]" the line is read as a key line of the current section.
            doc.oddLines_.push_back({lineNo, OddKind::NoClosingBracket, std::string(line)});
        }
        if (line.front() == ';') continue;  // a comment

        Entry entry;
        entry.line = lineNo;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            entry.key = std::string(line);
            if (line.front() != '[')
                doc.oddLines_.push_back({lineNo, OddKind::NoEquals, std::string(line)});
        } else {
            entry.key = std::string(Trim(line.substr(0, eq)));
            entry.value = std::string(Trim(line.substr(eq + 1)));
            entry.hasValue = true;
            if (entry.key.empty())
                doc.oddLines_.push_back({lineNo, OddKind::EmptyKey, std::string(line)});
            else if (inHeaderlessPart)
                doc.oddLines_.push_back({lineNo, OddKind::BeforeSection, std::string(line)});
        }
        current->entries.push_back(std::move(entry));
    }
    // A last line without its line end still counts.
    doc.lineCount_ = lineNo;
    // Only the first section of a name and the first line of a key are ever found.
    for (std::size_t i = 0; i < doc.sections_.size(); ++i) {
        Section& section = doc.sections_[i];
        doc.firstSection_.emplace(LowerName(section.name), i);
        for (std::size_t k = 0; k < section.entries.size(); ++k)
            section.firstEntry.emplace(LowerName(section.entries[k].key), k);
    }
    return doc;
}

bool ProfileDocument::HasSectionHeader() const { return sections_.size() > 1; }

const ProfileDocument::Section* ProfileDocument::FindSection(std::string_view name) const {
    const auto found = firstSection_.find(LowerName(Trim(name)));
    return found == firstSection_.end() ? nullptr : &sections_[found->second];
}

const ProfileDocument::Entry* ProfileDocument::Find(std::string_view section,
                                                    std::string_view key) const {
    const Section* s = FindSection(section);
    return s == nullptr ? nullptr : FindIn(*s, key);
}

const ProfileDocument::Entry* ProfileDocument::FindIn(const Section& section, std::string_view key) {
    const auto found = section.firstEntry.find(LowerName(Trim(key)));
    return found == section.firstEntry.end() ? nullptr : &section.entries[found->second];
}

std::string ProfileValueText(std::string_view stored) {
    bool quoted = false;
    if (stored.size() >= 2 && (stored.front() == '"' || stored.front() == '\'') &&
        stored.back() == stored.front()) {
        quoted = true;
        stored.remove_prefix(1);
    }
    std::string text(stored.substr(0, std::min(stored.size(), kProfileTextLimit)));
    // The closing quote goes only when the whole rest fitted the buffer (the
    // 256-byte buffer less its zero); a longer value keeps its cut end.
    if (quoted && stored.size() <= kProfileTextLimit + 1 && !text.empty()) text.pop_back();
    return text;
}

int32_t ProfileIntValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char prefix = text[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    uint32_t value = 0;  // wraps like the 32-bit platform's conversion
    for (; i < text.size(); ++i) {
        const char c = text[i];
        const uint32_t digit = (c >= '0' && c <= '9')   ? static_cast<uint32_t>(c - '0')
                               : (c >= 'a' && c <= 'z') ? static_cast<uint32_t>(c - 'a' + 10)
                               : (c >= 'A' && c <= 'Z') ? static_cast<uint32_t>(c - 'A' + 10)
                                                        : base;
        if (digit >= base) break;
        value = value * base + digit;
    }
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

std::string ProfileDocument::GetString(std::string_view section, std::string_view key,
                                       std::string_view def) const {
    const Entry* entry = Find(section, key);
    if (entry == nullptr || !entry->hasValue) return ProfileValueText(def);
    return ProfileValueText(entry->value);
}

int32_t ProfileDocument::GetInt(std::string_view section, std::string_view key,
                                int32_t def) const {
    const std::string text = GetString(section, key);
    if (text.empty()) return def;
    return ProfileIntValue(text);
}

std::string DocumentProfile::GetString(const std::string& section, const std::string& key,
                                       const std::string& def, const std::string&) {
    return document_.GetString(section, key, def);
}

int32_t DocumentProfile::GetInt(const std::string& section, const std::string& key, int32_t def,
                                const std::string&) {
    return document_.GetInt(section, key, def);
}

bool DocumentProfile::WriteString(const std::string&, const std::string&, const std::string&,
                                  const std::string&) {
    return false;
}

}  // namespace qrtl
