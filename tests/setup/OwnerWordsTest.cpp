// The set-up window's words for the checker's findings: the owner's words, never
// the file's.
#include "setup/OwnerWords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/RemoteCodes.h"

namespace qrtl::setup {
namespace {

struct CountCase {
    std::size_t count;
    const char* expected;
};

TEST(Counted, Counts_SingularOnlyForOne) {
    const CountCase cases[] = {{0, "0 keys"}, {1, "1 key"}, {2, "2 keys"}, {27, "27 keys"}};
    for (const CountCase& c : cases) EXPECT_EQ(Counted(c.count, "key", "keys"), c.expected) << c.count;
}

// Everything a profile can hold that the owner may meet, in one profile.
constexpr char kEverything[] =
    "[Main]\r\nTimer=0\r\nTimer=5\r\nodd line\r\n[Main]\r\n"
    "[Client]\r\nDefault=0\r\n0_Item=newtv\r\n0_Caption=New TV\r\n0_Control=0\r\n"
    "0_RegPath=Software\\NewTV\r\n0_RegFolder=Dir\r\n0_ExeName=newtv\r\n"
    "[KeyMap_Controler]\r\nPOWER=12\r\nVOL+=5\r\nCH+=30\r\nCH-=30\r\nVOLUME=44\r\n"
    "[KeyMap_newtv]\r\nPOWER=#9C40\r\nVOL-=#9C4B\r\nZOOM=#9C41\r\nSCAN=*26\r\nMUTE=9C4C\r\n";

std::vector<FindingRow> OwnerRows(const std::string& text) {
    return OwnerFindings(FindingsInWords(EditedProfile(text)));
}

TEST(OwnerFindings, EveryFinding_NoSectionsFileKeysRegistryHexOrOwnName) {
    const auto rows = OwnerRows(kEverything);
    ASSERT_GE(rows.size(), 8u);
    for (const FindingRow& row : rows) {
        for (const char* word : {"[", "]", "_Item", "_Control", "Default=", "HKEY_", "#9C", "*26", "QRTLRemote",
                                 "KeyMap", "Controler"})
            EXPECT_EQ(row.text.find(word), std::string::npos) << word << " in: " << row.text;
        EXPECT_TRUE(row.text.rfind("Error: ", 0) == 0 || row.text.rfind("Warning: ", 0) == 0 ||
                    row.text.rfind("Note: ", 0) == 0)
            << row.text;
    }
}

TEST(OwnerFindings, KeysWithAnActionButNoCode_NamedInTheOneLineOfKeysWithoutCode) {
    const auto rows = OwnerRows(kEverything);
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(),
                             [](const FindingRow& r) { return r.kind == FindingId::CommandUnmapped; }));
    const auto unlearned = std::count_if(rows.begin(), rows.end(),
                                         [](const FindingRow& r) { return r.kind == FindingId::CodeUnlearned; });
    ASSERT_EQ(unlearned, 1);
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [](const FindingRow& r) { return r.kind == FindingId::CodeUnlearned; });
    EXPECT_EQ(row->text.rfind("Note: 23 keys have no code yet: ZOOM, SCAN, TVFMSW, ", 0), 0u) << row->text;
    const std::string end = "BTN100. They do nothing until learned. VOL-, ZOOM, SCAN, MUTE have an action already.";
    EXPECT_EQ(row->text.substr(row->text.size() - std::min(row->text.size(), end.size())), end);
}

struct SentenceCase {
    const char* name;
    std::string profile;
    FindingId kind;
    const char* text;  // the sentence, or its end
};

const std::string kLearned = [] {
    std::string text = "[KeyMap_Controler]\r\n";
    for (int k = 0; k < kRemoteKeyCount; ++k) text += std::string(RemoteKeyNames[k]) + "=" + std::to_string(10 + k) + "\r\n";
    return text;
}();
const std::string kClient = "[Client]\r\nDefault=0\r\n0_Item=TV\r\n0_Control=1\r\n[KeyMap_TV]\r\n";

TEST(OwnerFindings, Sentences_InTheOwnersWordsWithPlurals) {
    const SentenceCase cases[] = {
        {"one key with an action among those without a code",
         kClient + "ZOOM=#8001\r\n[KeyMap_Controler]\r\nPOWER=10\r\n", FindingId::CodeUnlearned,
         ". They do nothing until learned. ZOOM has an action already."},
        {"the one key without a code has an action",
         kClient + "ZOOM=#8001\r\n" + kLearned.substr(0, kLearned.find("ZOOM=")) +
             kLearned.substr(kLearned.find("SCAN=")),
         FindingId::CodeUnlearned, "Note: 1 key has no code yet: ZOOM. It does nothing until learned. It has an "
                                   "action already."},
        {"nothing set up", "[Client]\r\nDefault=0\r\n[KeyMap_Controler]\r\nPOWER=\r\n", FindingId::NotSetUp,
         "Warning: The remote is not set up yet: choose the TV application and learn its keys."},
        {"codes missing, client chosen", kClient + "[KeyMap_Controler]\r\nPOWER=\r\n", FindingId::NotSetUp,
         "Warning: The remote is not set up yet: learn its keys."},
        {"shared code", kClient + "[KeyMap_Controler]\r\nCH+=20\r\nVOL+=20\r\n", FindingId::CodeShared,
         "Warning: VOL+ and CH+ have the same code, and CH+ takes it: VOL+ is never recognised. Learn one of them "
         "again."},
        {"timer costly", "[Main]\r\nTimer=20\r\n" + kClient + kLearned, FindingId::Timer,
         "Warning: The monitor listens to the receiver every 20 ms, which costs CPU time; every 100 ms is plenty."},
        {"timer sluggish", "[Main]\r\nTimer=20000\r\n" + kClient + kLearned, FindingId::Timer,
         "Warning: The monitor listens to the receiver only every 20000 ms: keys answer late."},
    };
    for (const SentenceCase& c : cases) {
        const auto rows = OwnerRows(c.profile);
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const FindingRow& r) { return r.kind == c.kind; });
        ASSERT_NE(row, rows.end()) << c.name;
        // The whole sentence, or its end where the list of keys before it is long.
        const std::string end = c.text;
        EXPECT_EQ(row->text.substr(row->text.size() - std::min(row->text.size(), end.size())), end) << c.name;
    }
    // 26 keys without a code: the plural, the list as the checker's.
    const auto rows = OwnerRows(kClient + "[KeyMap_Controler]\r\nPOWER=10\r\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text.rfind("Note: 26 keys have no code yet: ZOOM, SCAN, ", 0), 0u) << rows[0].text;
    EXPECT_NE(rows[0].text.find(". They do nothing until learned."), std::string::npos) << rows[0].text;
}

}  // namespace
}  // namespace qrtl::setup
