// The profile checker: profile text in, the findings' lines, IDs and severities out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "setup/CheckWords.h"
#include "setup/ProfileCheck.h"
#include "config/QRTLIRSet.h"
#include "fakes/Fakes.h"

namespace {

// Lines 1-5: an active client TV with its (empty) key-map section last.
const std::string kClient = "[Client]\nDefault=1\n1_Item=TV\n1_Control=1\n[KeyMap_TV]\n";

struct CheckCase {
    const char* name;
    std::string text;
    std::vector<std::string> expected;  // "LINE:ID:e|w|n"
};

// All 27 keys with distinct codes 10, 11 ...: one line each.
std::string AllCodes() {
    std::string text;
    for (int k = 0; k < kRemoteKeyCount; ++k) text += std::string(RemoteKeyNames[k]) + "=" + std::to_string(10 + k) + "\n";
    return text;
}

// Every key learned, appended last where a case is about something else.
const std::string kLearned = "[KeyMap_Controler]\n" + AllCodes();

std::vector<std::string> Describe(const std::vector<qrtl::Finding>& findings) {
    std::vector<std::string> out;
    for (const auto& f : findings) {
        const char* s = f.severity == qrtl::Severity::Error ? "e"
                        : f.severity == qrtl::Severity::Warning ? "w" : "n";
        out.push_back(std::to_string(f.line) + ":" + qrtl::FindingIdName(f.kind) + ":" + s);
    }
    return out;
}

TEST(CheckProfile, ProfileTable_FindingsOnTheCausingLines) {
    const std::vector<CheckCase> cases = {
        {"clean", kClient + "POWER=#8010\n[KeyMap_Controler]\n" + AllCodes() + "[Main]\nTimer=500\n", {}},
        {"codes not as received, an empty code is not learned yet",
         kClient + "[KeyMap_Controler]\nPOWER=5\nZOOM=007\nSCAN=256\nTVFMSW=x1\nSWITCH=\nVOL+=00\n"
                   "VOL-=255\nCH+=\"12\"\nCH-=\"\"\nMUTE=  \n",
         {"6:code-unlearned:n", "7:code-format:w", "8:code-format:w", "9:code-format:w",
          "10:code-format:w"}},
        {"some keys learned, the others empty or missing: clean but for the note",
         kClient + "POWER=#8010\n[KeyMap_Controler]\nPOWER=10\nZOOM=\nVOL+=20\n",
         {"7:code-unlearned:n"}},
        {"no key learned, client chosen", kClient + "[KeyMap_Controler]\nPOWER=\nZOOM=\n",
         {"6:not-set-up:w"}},
        {"no key learned, no section for the codes", kClient, {"1:not-set-up:w"}},
        {"no key learned, no client at all", "[Client]\nDefault=0\n0_Item=\n[KeyMap_Controler]\nPOWER=\n",
         {"4:not-set-up:w"}},
        {"no key learned, the active client missing but another named",
         "[Client]\nDefault=2\n1_Item=TV\n[KeyMap_Controler]\nPOWER=\n",
         {"2:client-missing:e", "4:not-set-up:w"}},
        {"codes learned, no client", "[Client]\nDefault=0\n[KeyMap_Controler]\n" + AllCodes(),
         {"2:client-missing:e"}},
        {"shared codes, the earlier name loses",
         kClient + "[KeyMap_Controler]\nCH+=20\nVOL+=20\nBTN0=12\nPOWER=12\nMUTE=30\n",
         {"6:code-unlearned:n", "8:code-shared:w", "10:code-shared:w"}},
        {"unknown key names, case does not matter",
         kClient + "VOLUME+=#100\n[KeyMap_Controler]\nPOWR=10\nvol+=20\n",
         {"6:key-name:w", "7:code-unlearned:n", "8:key-name:w"}},
        {"commands the monitor would not post",
         kClient + "POWER=#1\nZOOM=+12\nSCAN=#xyz\nTVFMSW=#12g\nSWITCH=#10000\nVOL+=*100\nVOL-=*41\n"
                   "CH+=#0x10\n[KeyMap_Controler]\nPOWER=10\nZOOM=11\nSCAN=12\nTVFMSW=13\n"
                   "SWITCH=14\nVOL+=20\nVOL-=21\nCH+=22\n",
         {"6:command-format:w", "7:command-format:w", "8:command-format:w", "9:command-format:w",
          "10:command-format:w", "11:command-format:w", "14:code-unlearned:n"}},
        {"command without a code",
         kClient + "POWER=#8010\nMUTE=#8003\n[KeyMap_Controler]\nPOWER=10\nMUTE=\n",
         {"7:command-unmapped:n", "8:code-unlearned:n"}},
        {"lower-case item", "[Client]\n0_Item=StandinTV\n0_Control=1\n[KeyMap_StandinTV]\n" + kLearned,
         {"2:item-case:e"}},
        {"no item, control off", "[Client]\n0_Caption=Standin TV\n" + kLearned, {"2:item-empty:e"}},
        {"no item, control on", "[Client]\n0_ClassName=X\n0_Control=1\n" + kLearned, {"2:item-empty:w"}},
        {"a title, and child ids that cannot find the window",
         "[Client]\n0_Item=NOTEPAD\n0_Caption=Untitled - Notepad\n0_ClassName=Notepad\n0_Child0=15\n0_Control=1\n"
         "[KeyMap_NOTEPAD]\n" + kLearned,
         {"3:client-title:n"}},
        {"a title, and all three child ids",
         "[Client]\n0_Item=TV\n0_Caption=TV\n0_Child0=1\n0_Child1=2\n0_Child2=3\n0_Control=1\n[KeyMap_TV]\n" +
             kLearned,
         {}},
        {"no title", "[Client]\n0_Item=TV\n0_Caption=\n0_ClassName=TvMain\n0_Control=1\n[KeyMap_TV]\n" + kLearned,
         {}},
        {"default names no client", "[Main]\nTimer=500\n[Client]\nDefault=-1\n0_Item=TV\n" + kLearned,
         {"4:client-missing:e"}},
        {"no client key map", "[Client]\n1_Item=TV\nDefault=1\n" + kLearned, {"2:client-keymap:w"}},
        {"commands, but the client's keys are never read",
         "[Client]\nDefault=1\n1_Item=TV\n1_Control=0\n[KeyMap_TV]\nPOWER=#8010\n"
         "[KeyMap_Controler]\nPOWER=10\n",
         {"4:client-control:w", "7:code-unlearned:n"}},
        {"no Control line: the header carries it",
         "[Client]\nDefault=1\n1_Item=TV\n[KeyMap_TV]\nVOL+=#8001\n[KeyMap_Controler]\nVOL+=20\n",
         {"1:client-control:w", "6:code-unlearned:n"}},
        {"Control 0 with an empty key map is no fault",
         "[Client]\nDefault=1\n1_Item=TV\n[KeyMap_TV]\nPOWER=\n" + kLearned, {}},
        {"timer zero", "[Main]\nTimer=0\n" + kClient + kLearned, {"2:timer:e"}},
        {"timer negative", "[Main]\nTimer=-5\n" + kClient + kLearned, {"2:timer:e"}},
        {"timer costly", "[Main]\nTimer=49\n" + kClient + kLearned, {"2:timer:w"}},
        {"timer sluggish", "[Main]\nTimer=10001\n" + kClient + kLearned, {"2:timer:w"}},
        {"timer bounds", "[Main]\nTimer=50\n[main]\nTimer=10000\n" + kClient + kLearned,
         {"3:section-duplicate:w"}},
        {"lines Windows ignores", "A=1\n[Main]\nTimer\n[Client\n=5\n" + kLearned,
         {"1:syntax:w", "1:client-missing:e", "3:syntax:w", "4:syntax:w", "5:syntax:w"}},
        {"repeated key, the first counts", "[Main]\nTimer=500\nTIMER=10\n" + kClient + kLearned,
         {"3:key-duplicate:w"}},
        {"byte order mark hides the first header", "\xEF\xBB\xBF[Main]\nTimer=0\n" + kClient + kLearned,
         {"1:syntax:w", "2:syntax:w"}},
    };
    for (const CheckCase& c : cases) {
        const auto findings = qrtl::CheckProfile(qrtl::ProfileDocument::Parse(c.text));
        EXPECT_EQ(Describe(findings), c.expected) << c.name;
    }
}

TEST(CheckProfile, LaunchKeyThatUsersCanChange_NotedOnItsLine) {
    fakes::FakeRegistry registry;
    registry.keys[qrtl::RegRoot::LocalMachine]["Software\\Acme\\TV"].values["Dir"] = "C:\\TV";
    const std::string text =
        "[Client]\nDefault=1\n1_Item=TV\n1_Control=1\n1_RegPath=Software\\Acme\\TV\n1_RegFolder=Dir\n"
        "1_ExeName=tv.exe\n[KeyMap_TV]\nPOWER=#8010\n" + kLearned;
    for (const bool writable : {false, true}) {
        qrtl::CheckEnvironment environment;
        environment.registry = &registry;
        environment.pathKind = [](const std::string&) { return qrtl::setup::PathKind::File; };
        environment.usersCanWrite = [&](const std::string& key) { return writable && key == "Software\\Acme\\TV"; };
        const auto findings = qrtl::CheckProfile(qrtl::ProfileDocument::Parse(text), environment);
        const std::vector<std::string> expected = writable ? std::vector<std::string>{"5:launch-writable:n"}
                                                           : std::vector<std::string>{};
        EXPECT_EQ(Describe(findings), expected) << writable;
    }
}

// A quote in the program's name or folder would add arguments to the command line
// that POWER starts: the monitor starts nothing, and the check says so on the line.
TEST(CheckProfile, LaunchPathWithAQuote_WarnedOnItsLine) {
    struct Case {
        const char* name;
        const char* folder;
        const char* exeName;
        std::vector<std::string> expected;
        const char* words;  // the finding's text; null: no finding
    };
    const Case cases[] = {
        {"quote in the file name", "C:\\TV", "tv.exe\" -evil", {"7:launch-quote:w"},
         "1_ExeName=tv.exe\" -evil holds a quote, which would add arguments to the command line: POWER starts no "
         "client"},
        {"quote in the registry's folder", "C:\\TV\" /evil \"", "tv.exe", {"5:launch-quote:w"},
         "the client's folder in HKEY_LOCAL_MACHINE\\Software\\Acme\\TV value \"Dir\" holds a quote, which would add "
         "arguments to the command line: POWER starts no client"},
        {"surrounding quotes are taken off when read", "C:\\TV", "\"tv.exe\"", {}, nullptr},
        {"no quote", "C:\\TV", "tv.exe", {}, nullptr},
    };
    for (const Case& c : cases) {
        fakes::FakeRegistry registry;
        registry.keys[qrtl::RegRoot::LocalMachine]["Software\\Acme\\TV"].values["Dir"] = c.folder;
        const std::string text = "[Client]\nDefault=1\n1_Item=TV\n1_Control=1\n1_RegPath=Software\\Acme\\TV\n"
                                 "1_RegFolder=Dir\n1_ExeName=" + std::string(c.exeName) +
                                 "\n[KeyMap_TV]\nPOWER=#8010\n" + kLearned;
        qrtl::CheckEnvironment environment;
        environment.registry = &registry;
        environment.pathKind = [](const std::string&) { return qrtl::setup::PathKind::File; };
        const auto findings = qrtl::CheckProfile(qrtl::ProfileDocument::Parse(text), environment);
        EXPECT_EQ(Describe(findings), c.expected) << c.name;
        if (c.words != nullptr && !findings.empty()) {
            EXPECT_EQ(qrtl::CheckText(findings[0]), c.words) << c.name;
        }
    }
}

TEST(CheckProfile, UnusableFiles_RefusedWithAReason) {
    using qrtl::ProfileUnusable;
    const std::string tooLarge = "[Main]\n" + std::string(qrtl::kMaxProfileBytes, 'x');
    const struct {
        const char* name;
        std::string bytes;
        ProfileUnusable why;
        const char* words;
    } cases[] = {
        {"empty", "", ProfileUnusable::Empty, "is empty"},
        {"blank", " \r\n\t\n", ProfileUnusable::Empty, "is empty"},
        {"binary", std::string("[Main]\0\x01\x02", 9), ProfileUnusable::NotText, "is not a text file"},
        {"no section", "Timer=500\nDefault=1\n", ProfileUnusable::NoSection, "has no [section]: it is not a profile"},
        {"too large", tooLarge, ProfileUnusable::TooLarge, "is too large for a profile (more than 1048576 bytes)"},
        {"a profile", kClient, ProfileUnusable::None, ""},
        {"at the size limit", "[Main]\n" + std::string(qrtl::kMaxProfileBytes - 7, 'x'), ProfileUnusable::None, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProfileUnusable why = qrtl::ProfileUnusableReason(c.bytes);
        EXPECT_EQ(why, c.why);
        EXPECT_EQ(qrtl::ProfileUnusableWords(why), c.words);
    }
}

TEST(CheckProfile, CommandTexts_ProblemAsCodeWithTheCharactersRead) {
    using qrtl::CommandFault;
    const struct {
        const char* command;
        CommandFault fault;
        std::size_t digitsRead;
    } cases[] = {
        {"#8010", CommandFault::None, 0},     {"*41", CommandFault::None, 0},
        {"#1", CommandFault::TooShort, 0},    {"8010", CommandFault::NoMarker, 0},
        {"#zz", CommandFault::NoNumber, 0},   {"#80x1", CommandFault::PartlyRead, 2},
        {"#10000", CommandFault::AboveCommandId, 0}, {"*100", CommandFault::AboveVirtualKey, 0},
        {"#FFFF", CommandFault::None, 0},     {"*FF", CommandFault::None, 0},
    };
    for (const auto& c : cases) {
        const qrtl::CommandProblemCode problem = qrtl::CommandProblem(c.command);
        EXPECT_EQ(problem.fault, c.fault) << c.command;
        EXPECT_EQ(problem.digitsRead, c.digitsRead) << c.command;
        EXPECT_EQ(qrtl::CommandProblemWords(problem).empty(), problem.Ok()) << c.command;
    }
}

}  // namespace
