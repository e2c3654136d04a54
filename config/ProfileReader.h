// A profile file read with the meaning Windows' profile functions give it, but
// keeping the line of every section and key, for tools that point at lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Platform.h"

namespace qrtl {

// The longest text a read returns: the monitor reads into a 256-byte buffer.
constexpr std::size_t kProfileTextLimit = 255;

class ProfileDocument {
public:
    struct Entry {
        std::string key;      // trimmed; may be empty ("=value")
        std::string value;    // trimmed, quotes still on, not cut
        bool hasValue = false;  // false for a line without '=': it reads as missing
        int line = 0;
    };
    struct Section {
        std::string name;  // between '[' and the last ']'; empty for lines before any header
        int line = 0;      // 0 for lines before any header
        std::vector<Entry> entries;
        // Lower-cased key to the index of its first entry.
        std::unordered_map<std::string, std::size_t> firstEntry;
    };
    // Lines Windows reads past without finding a section or a key=value in them.
    enum class OddKind { NoEquals, NoClosingBracket, BeforeSection, EmptyKey };
    struct OddLine {
        int line = 0;
        OddKind kind = OddKind::NoEquals;
        std::string text;  // trimmed
    };

    // Never fails: any bytes give a document. Lines end at CR LF, LF or a lone CR.
    static ProfileDocument Parse(std::string_view bytes);

    // The first section of that name, names compared without case; null when none.
    const Section* FindSection(std::string_view name) const;
    // The first entry of that key in the first section of that name; null when none.
    const Entry* Find(std::string_view section, std::string_view key) const;
    // The first entry of that key in `section`, one of Sections(); null when none.
    static const Entry* FindIn(const Section& section, std::string_view key);

    // GetPrivateProfileStringA into a 256-byte buffer: `def` when missing, one pair
    // of surrounding quotes removed, at most 255 characters.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def = {}) const;
    // GetPrivateProfileIntA: `def` when missing or empty, else the leading number.
    int32_t GetInt(std::string_view section, std::string_view key, int32_t def) const;

    const std::vector<Section>& Sections() const { return sections_; }
    const std::vector<OddLine>& OddLines() const { return oddLines_; }
    int LineCount() const { return lineCount_; }
    // True when at least one "[name]" header was found.
    bool HasSectionHeader() const;

private:
    std::vector<Section> sections_;
    // Lower-cased name to the index of the first section of that name.
    std::unordered_map<std::string, std::size_t> firstSection_;
    std::vector<OddLine> oddLines_;
    int lineCount_ = 0;
};

// Text of a value as a read returns it (quotes, the 255-character cut).
std::string ProfileValueText(std::string_view stored);
// The leading number of a text, as GetPrivateProfileIntA reads it.
int32_t ProfileIntValue(std::string_view text);
// Names of sections and keys compare without case (a to z only).
bool ProfileNameEquals(std::string_view a, std::string_view b);

// The profile functions over one document, whatever path is asked for; writes are
// refused. Lets the monitor's own loading code run on a parsed file.
class DocumentProfile : public IProfile {
public:
    explicit DocumentProfile(const ProfileDocument& document) : document_(document) {}
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, const std::string& path) override;
    int32_t GetInt(const std::string& section, const std::string& key, int32_t def,
                   const std::string& path) override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override;

private:
    const ProfileDocument& document_;
};

}  // namespace qrtl
