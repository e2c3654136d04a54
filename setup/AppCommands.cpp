#include "setup/AppCommands.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "config/QRTLIRSet.h"
#include "setup/ResourceMenus.h"

namespace qrtl::setup {

namespace {

// The keys' synonyms normalised once, per key.
struct NormalSynonym {
    std::string text;
    bool exact;
};
const std::vector<std::vector<NormalSynonym>>& NormalTable() {
    static const std::vector<std::vector<NormalSynonym>> normal = [] {
        std::vector<std::vector<NormalSynonym>> out(kRemoteKeyCount);
        for (int k = 0; k < kRemoteKeyCount; ++k)
            for (const KeySynonym& s : RemoteKeys[k].synonyms) out[k].push_back({NormalizeLabel(s.text), s.exact});
        return out;
    }();
    return normal;
}

unsigned char LowerAnsi(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    // Latin-1 capitals of the ANSI code page, the multiplication sign excepted.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

bool IsWordByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c >= 0x80;
}

// 0: exact, 1: the label holds the synonym as whole words; -1: no match.
int MatchStrength(const std::string& label, const NormalSynonym& synonym) {
    if (synonym.text.empty()) return -1;
    if (label == synonym.text) return 0;
    if (synonym.exact) return -1;
    const std::string padded = " " + label + " ";
    return padded.find(" " + synonym.text + " ") != std::string::npos ? 1 : -1;
}

// The best strength with which `label` means key `index`; -1 when it does not.
int KeyStrength(const std::string& label, int index) {
    int best = -1;
    for (const NormalSynonym& s : NormalTable()[index]) {
        const int strength = MatchStrength(label, s);
        if (strength >= 0 && (best < 0 || strength < best)) best = strength;
    }
    return best;
}

// The texts of a menu command the matcher tries: the item's own label, and the
// label with its submenu's name before it ("Channel > Up" is "channel up").
std::vector<std::string> MenuLabels(const std::string& path) {
    const std::string separator = " > ";
    const std::size_t last = path.rfind(separator);
    if (last == std::string::npos) return {NormalizeLabel(path)};
    const std::string leaf = path.substr(last + separator.size());
    const std::size_t before = last == 0 ? std::string::npos : path.rfind(separator, last - 1);
    const std::string parent =
        path.substr(before == std::string::npos ? 0 : before + separator.size(),
                    last - (before == std::string::npos ? 0 : before + separator.size()));
    return {NormalizeLabel(leaf), NormalizeLabel(parent + " " + leaf)};
}

struct Ranked {
    Candidate candidate;
    int strength;
    int kind;  // 0 menu, 1 control
    std::size_t order;
};

}  // namespace

const char* SourceName(CommandSource source) {
    switch (source) {
    case CommandSource::LiveMenu: return "live menu";
    case CommandSource::Resource: return "resources";
    case CommandSource::Window: return "window";
    case CommandSource::ShortcutText: return "shortcut";
    }
    return "";
}

const MenuCommand* AppCatalog::FindMenu(uint32_t id) const {
    for (const MenuCommand& m : menus)
        if (m.id == id) return &m;
    return nullptr;
}

const ControlCommand* AppCatalog::FindControl(uint32_t id) const {
    for (const ControlCommand& c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

void AppCatalog::MergeMenus(const std::vector<MenuCommand>& more) {
    // The ids listed in a set: a file may repeat thousands of ids over its resources,
    // and a lookup in the list for each would take their square.
    std::unordered_set<uint32_t> listed;
    listed.reserve(menus.size() + more.size());
    for (const MenuCommand& m : menus) listed.insert(m.id);
    for (const MenuCommand& m : more) {
        if (listed.count(m.id) != 0) continue;
        if (menus.size() >= kMaxMenuItems) {
            menusCut = true;
            return;
        }
        listed.insert(m.id);
        menus.push_back(m);
    }
}

void AppCatalog::AddShortcutKeys() {
    for (const MenuCommand& m : menus) {
        KeyStroke stroke;
        if (m.shortcut.empty() || !ParseShortcutText(m.shortcut, stroke)) continue;
        const bool known = std::any_of(keys.begin(), keys.end(),
                                       [&](const KeyCommand& k) { return k.key == stroke; });
        if (!known) keys.push_back({stroke, m.id, CommandSource::ShortcutText});
    }
}

std::string StripAmpersands(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

void SplitMenuText(std::string_view raw, std::string& label, std::string& shortcut) {
    const std::size_t tab = raw.find('\t');
    label = StripAmpersands(raw.substr(0, tab));
    shortcut = tab == std::string_view::npos ? std::string() : std::string(raw.substr(tab + 1));
    // Right-aligned shortcuts start with "\a" in some menus.
    if (!shortcut.empty() && shortcut[0] == '\a') shortcut.erase(0, 1);
    auto trim = [](std::string& s) {
        while (!s.empty() && (s.back() == ' ')) s.pop_back();
        while (!s.empty() && s.front() == ' ') s.erase(0, 1);
    };
    trim(label);
    trim(shortcut);
}

std::string CommandIdText(uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "#%04X", static_cast<unsigned>(id & kCommandIdMask));
    return text;
}

std::string DescribeCommandText(const AppCatalog& catalog, const std::string& commandText) {
    if (commandText.empty()) return {};
    const CommandText parsed = ParseCommandText(commandText);
    if (!parsed.bLongEnough || parsed.nParsed == 0 ||
        (parsed.marker != kCommandMarker && parsed.marker != kKeyDownMarker))
        return "Not a command: " + commandText;
    if (parsed.marker == kKeyDownMarker) {
        KeyStroke stroke;
        stroke.vk = static_cast<uint8_t>(static_cast<uint32_t>(parsed.number) & kVirtualKeyMask);
        return "Key: " + VirtualKeyName(stroke.vk);
    }
    const uint32_t id = static_cast<uint32_t>(parsed.number) & kCommandIdMask;
    if (const MenuCommand* m = catalog.FindMenu(id)) return "Menu: " + m->path;
    if (const ControlCommand* c = catalog.FindControl(id)) return ControlInWords(*c);
    char text[24];
    std::snprintf(text, sizeof text, "Command %04X", static_cast<unsigned>(id));
    return text;
}

std::string ControlInWords(const ControlCommand& control) { return "Control: " + control.text; }

std::string NormalizeLabel(std::string_view text) {
    std::string spaced;
    const std::string plain = StripAmpersands(text);
    for (unsigned char c : plain) {
        c = LowerAnsi(c);
        if (IsWordByte(c)) {
            spaced += static_cast<char>(c);
        } else if (c == '+' || c == '-' || c == '/') {
            // Signs are words of their own: "Vol+" and "Vol +" mean the same.
            spaced += ' ';
            spaced += static_cast<char>(c);
            spaced += ' ';
        } else {
            spaced += ' ';
        }
    }
    std::string out;
    for (char c : spaced) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::vector<int> RemoteKeysForLabel(std::string_view label) {
    const std::string normal = NormalizeLabel(label);
    std::vector<std::pair<int, int>> hits;  // strength, key
    for (int k = 0; k < kRemoteKeyCount; ++k) {
        const int strength = KeyStrength(normal, k);
        if (strength >= 0) hits.push_back({strength, k});
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> keys;
    for (const auto& hit : hits) keys.push_back(hit.second);
    return keys;
}

std::vector<Suggestion> SuggestCommands(const AppCatalog& catalog) {
    // Labels normalised once: a menu of thousands of items is walked 27 times.
    std::vector<std::vector<std::string>> menuLabels;
    menuLabels.reserve(catalog.menus.size());
    for (const MenuCommand& m : catalog.menus) menuLabels.push_back(MenuLabels(m.path));
    std::vector<std::string> controlLabels;
    for (const ControlCommand& c : catalog.controls) controlLabels.push_back(NormalizeLabel(c.text));

    std::vector<Suggestion> suggestions;
    for (int k = 0; k < kRemoteKeyCount; ++k) {
        if (NormalTable()[k].empty()) continue;
        std::vector<Ranked> ranked;
        for (std::size_t i = 0; i < catalog.menus.size(); ++i) {
            int best = -1;
            for (const std::string& label : menuLabels[i]) {
                const int strength = KeyStrength(label, k);
                if (strength >= 0 && (best < 0 || strength < best)) best = strength;
            }
            if (best < 0) continue;
            const MenuCommand& m = catalog.menus[i];
            ranked.push_back({{CommandIdText(m.id), m.path, true}, best, 0, i});
        }
        for (std::size_t i = 0; i < catalog.controls.size(); ++i) {
            const int strength = KeyStrength(controlLabels[i], k);
            if (strength < 0) continue;
            const ControlCommand& c = catalog.controls[i];
            ranked.push_back({{CommandIdText(c.id), c.text + " (control)", false}, strength, 1, i});
        }
        if (ranked.empty()) continue;
        std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
            if (a.strength != b.strength) return a.strength < b.strength;
            if (a.kind != b.kind) return a.kind < b.kind;
            return a.order < b.order;
        });
        Suggestion s;
        s.key = RemoteKeyNames[k];
        s.best = ranked[0].candidate;
        for (std::size_t i = 1; i < ranked.size(); ++i) {
            // The same command met twice (a menu item and its control) is one choice.
            const bool seen = ranked[i].candidate.commandText == s.best.commandText ||
                              std::any_of(s.alternatives.begin(), s.alternatives.end(),
                                          [&](const Candidate& c) {
                                              return c.commandText == ranked[i].candidate.commandText;
                                          });
            if (!seen) s.alternatives.push_back(ranked[i].candidate);
        }
        suggestions.push_back(std::move(s));
    }
    return suggestions;
}

}  // namespace qrtl::setup
