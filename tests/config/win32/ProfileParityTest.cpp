// The core's profile reader against the system's own GetPrivateProfileStringA and
// GetPrivateProfileIntA: a corpus of odd files, hand-made and generated, every
// section and key that appears in them read both ways.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "config/ProfileReader.h"
#include "config/StarterProfile.h"

namespace {

struct ParityCase {
    const char* name;
    std::string bytes;
    // A section that Windows does not see but Wine does (the UTF-8 mark before it);
    // the reader follows Windows, so it is left out of the comparison.
    const char* windowsOnlyMissing = nullptr;
};

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

std::vector<ParityCase> HandMadeCases() {
    return {
        {"duplicates", "[Main]\r\nTimer=100\r\nTimer=200\r\nTIMER=250\r\n[main]\r\nTimer=300\r\nShow=1\r\n"},
        {"blanks", "  [ Main ]  \r\n  Timer  =   100  \r\n[Client]\r\n \t Key \t = \t v a l \t \r\n"},
        {"quotes",
         "[Q]\r\na=\"abc\"\r\nb='abc'\r\nc=\"abc\r\nd=\"\r\ne=\"\"\r\nf=\" a \"\r\ng=\"a'\r\n"
         "h='a\"\r\ni=\"a\"b\"\r\nj=  \"x\"  \r\nk=''\r\n"},
        {"tabs", "[Main]\r\n\tTimer\t=\t500\t\r\n\t[Client]\t\r\n\tDefault\t=\t1\r\n"},
        {"cr-only", "[Main]\rTimer=100\r\r[Client]\rDefault=2\r"},
        {"lf-only", "[Main]\nTimer=100\n\n[Client]\nDefault=2\n"},
        {"no-final-newline", "[Main]\r\nTimer=100\r\n[Client]\r\nDefault=3"},
        {"header-junk", "[Main] junk\r\nA=1\r\n[Client]]x\r\nB=2\r\n[Sec]ond] ;c\r\nC=3\r\n[]\r\nD=4\r\n"},
        {"before-section", "A=1\r\nB=2\r\n[Main]\r\nA=3\r\n"},
        {"equals-in-values", "[Main]\r\nA=b=c\r\nB==\r\nC = = x\r\n= x\r\nD=\"=\"\r\n"},
        {"empty-names", "[]\r\nA=1\r\n[Main]\r\n=5\r\n  =6\r\nB=\r\n"},
        {"long-lines",
         "[Main]\r\nA=" + Repeat('a', 300) + "\r\nB=\"" + Repeat('b', 254) + "\"\r\nC=\"" +
             Repeat('c', 255) + "\"\r\nD=\"" + Repeat('d', 256) + "\"\r\nE='" + Repeat('e', 257) +
             "'\r\n" + Repeat('k', 2000) + "=v\r\nF=" + Repeat('f', 255) + "\r\n"},
        {"high-bytes", "[Ma\xE9n]\r\nK\xE9y=v\xE9\r\n[Main]\r\nA=\xA0x\xA0\r\nB=\x80\x81\x9F\xFF\r\n"},
        {"utf8-mark", "\xEF\xBB\xBF[Main]\r\nTimer=5\r\n[Client]\r\nDefault=1\r\n", "Main"},
        {"line-without-equals", "[Main]\r\nTimer\r\nTimer=5\r\nOther\r\n"},
        {"header-without-bracket", "[Main\r\nA=1\r\n[Main2=5\r\n[Main]\r\nA=2\r\n"},
        {"comments", ";c\r\n[Main]\r\n;Timer=5\r\nTimer=6\r\n  ; x=1\r\nx=2\r\n# y=1\r\n"},
        {"control-chars", "[Main]\r\nA=1\x1A\r\n\x0B" "B=2\x0C\r\n\x1A" "C=3\r\n"},
        {"integers",
         "[I]\r\na=12\r\nb= -7 \r\nc=+9\r\nd=12abc\r\ne=abc\r\nf=0x10\r\ng=4294967297\r\nh=\"42\"\r\n"
         "i=\r\nj=  \r\nk=- 3\r\nl=0X10\r\nm=0b101\r\nn=0o17\r\no=-0x10\r\np=010\r\nq=0xZ\r\n"},
        // A first install's profile: empty values throughout.
        {"starter", std::string(qrtl::StarterProfileText())},
    };
}

// Files made of the odd pieces above in random order, from a fixed seed.
std::vector<ParityCase> GeneratedCases() {
    std::mt19937 rng(20261207u);
    auto pick = [&](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    };
    auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
    const std::vector<std::string> sections = {"Main", "main", "Client", "KeyMap_Controler",
                                               "KEYMAP_controler", "X", " Main", ""};
    const std::vector<std::string> keys = {"Timer", "timer", "POWER", "VOL+", "1_Item", "Default",
                                           "A", "Key With Blank", "K\xE9"};
    const std::vector<std::string> blanks = {"", " ", "\t", "  \t", "\x1A"};
    const std::vector<std::string> values = {"10", "05", "\"q\"", "'q'", "\"", "a=b", "", "\xE9\xFF",
                                             "x y", "\"unclosed", Repeat('v', 270), "-3", "\xA0"};
    const std::vector<std::string> junk = {"", " ;c", "x", "]", " ] y"};
    const std::vector<std::string> ends = {"\r\n", "\n", "\r", "\r\n\r\n"};

    std::vector<ParityCase> cases;
    static std::vector<std::string> names;  // the cases keep pointers to their names
    names.clear();
    for (int f = 0; f < 40; ++f) names.push_back("generated-" + std::to_string(f));
    for (int f = 0; f < 40; ++f) {
        std::string text;
        const int lines = std::uniform_int_distribution<int>(5, 30)(rng);
        for (int l = 0; l < lines; ++l) {
            const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
            if (kind <= 1) {
                text += pick(blanks) + "[" + pick(sections) + (chance(90) ? "]" : "") + pick(junk);
            } else if (kind == 2) {
                text += pick(blanks) + ";" + pick(keys) + "=" + pick(values);
            } else if (kind == 3) {
                text += pick(blanks);
            } else {
                text += pick(blanks) + pick(keys) + pick(blanks);
                if (chance(90)) text += "=" + pick(blanks) + pick(values) + pick(blanks);
            }
            if (l + 1 < lines || chance(50)) text += pick(ends);
        }
        cases.push_back({names[static_cast<std::size_t>(f)].c_str(), text});
    }
    return cases;
}

// Lines split as an editor would, for gathering the names to ask for.
std::vector<std::string> RawLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    lines.push_back(line);
    return lines;
}

// Every name that could be a section or a key, gathered from the raw text without
// the reader's rules: what lies between "[" and any "]", and before any "=".
void GatherNames(const std::string& text, std::set<std::string>& sections,
                 std::set<std::string>& keys) {
    sections = {"Main", "Client", "KeyMap_Controler", "Q", "I", ""};
    keys = {"Timer", "Default", "POWER"};
    for (const std::string& line : RawLines(text)) {
        const std::size_t open = line.find('[');
        if (open != std::string::npos)
            for (std::size_t close = line.find(']', open); close != std::string::npos;
                 close = line.find(']', close + 1))
                sections.insert(line.substr(open + 1, close - open - 1));
        const std::size_t eq = line.find('=');
        keys.insert(line.substr(0, eq));
        if (eq != std::string::npos && eq + 1 < line.size()) keys.insert(line.substr(0, line.find('=', eq + 1)));
    }
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out.size() > 60 ? out.substr(0, 60) + "...(" + std::to_string(text.size()) + ")" : out;
}

class ProfileParity : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        const DWORD n = ::GetTempPathA(MAX_PATH, temp);
        ASSERT_TRUE(n > 0 && n < MAX_PATH);
        folder_ = std::string(temp) + "QRTLProfileParity" + std::to_string(::GetCurrentProcessId());
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr) ||
                    ::GetLastError() == ERROR_ALREADY_EXISTS);
    }
    void TearDown() override {
        for (const std::string& f : files_) ::DeleteFileA(f.c_str());
        ::RemoveDirectoryA(folder_.c_str());
    }

    // Every difference between the two readers for one file, as text lines.
    std::vector<std::string> Differences(const ParityCase& c) {
        const std::string path = folder_ + "\\" + c.name + ".ini";
        files_.push_back(path);
        FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr) return {"cannot write " + path};
        std::fwrite(c.bytes.data(), 1, c.bytes.size(), f);
        std::fclose(f);

        const qrtl::ProfileDocument doc = qrtl::ProfileDocument::Parse(c.bytes);
        std::set<std::string> sections, keys;
        GatherNames(c.bytes, sections, keys);
        std::vector<std::string> diffs;
        for (const std::string& section : sections) {
            // There Windows moves the section's keys to the lines before any header.
            if (c.windowsOnlyMissing &&
                (section.empty() || qrtl::ProfileNameEquals(section, c.windowsOnlyMissing)))
                continue;
            for (const std::string& key : keys) {
                // Comments are never asked for; an empty key name asks for the section.
                const std::size_t first = key.find_first_not_of(" \t\x1A\x0B\x0C");
                if (first == std::string::npos || key[first] == ';') continue;
                char buffer[256] = {};
                const DWORD got = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "",
                                                             buffer, sizeof buffer, path.c_str());
                const std::string system(buffer, got);
                const std::string ours = doc.GetString(section, key);
                const int systemInt = static_cast<int>(
                    ::GetPrivateProfileIntA(section.c_str(), key.c_str(), -99, path.c_str()));
                const int oursInt = doc.GetInt(section, key, -99);
                if (system != ours || systemInt != oursInt)
                    diffs.push_back("[" + Escaped(section) + "] " + Escaped(key) + ": system \"" +
                                    Escaped(system) + "\" (" + std::to_string(systemInt) +
                                    "), reader \"" + Escaped(ours) + "\" (" +
                                    std::to_string(oursInt) + ")");
            }
        }
        return diffs;
    }

    void ExpectParity(const std::vector<ParityCase>& cases) {
        for (const ParityCase& c : cases) {
            const std::vector<std::string> diffs = Differences(c);
            std::string shown;
            for (std::size_t i = 0; i < diffs.size() && i < 12; ++i) shown += "\n  " + diffs[i];
            EXPECT_TRUE(diffs.empty()) << c.name << ": " << diffs.size() << " differences" << shown;
        }
    }

    std::string folder_;
    std::vector<std::string> files_;
};

TEST_F(ProfileParity, HandMadeOddFiles_EveryValueAsTheSystemReadsIt) {
    ExpectParity(HandMadeCases());
}

TEST_F(ProfileParity, GeneratedFiles_EveryValueAsTheSystemReadsIt) {
    ExpectParity(GeneratedCases());
}

}  // namespace
