// QRTLProfile check's lines are read by scripts: the words of each kind of finding,
// as the checker has always printed them.
#include "setup/CheckWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct WordsCase {
    std::string profile;
    std::vector<std::string> lines;  // FormatFinding with file "p"
};

std::vector<std::string> Lines(const std::string& profile) {
    std::vector<std::string> lines;
    for (const auto& f : qrtl::CheckProfile(qrtl::ProfileDocument::Parse(profile)))
        lines.push_back(qrtl::FormatFinding("p", f));
    return lines;
}

TEST(CheckText, FindingsOfEveryKind_TheWordsScriptsRead) {
    const WordsCase cases[] = {
        {"\xEF\xBB\xBF[Main]\nTimer=0\n[Client\nA\n[Client]\nDefault=0\n=1\n[Main]\n",
         {"p:1: warning: the file starts with a UTF-8 byte order mark: Windows does not see the header on this "
          "line; save the file without it [syntax]",
          "p:1: warning: the remote is not set up yet: no key has a code and no TV application is chosen; "
          "QRTLRemote.exe (\"Set up the remote\" in the Start menu) sets it up [not-set-up]",
          "p:2: warning: key before any [section]: the monitor never reads it [syntax]",
          "p:3: warning: section header without \"]\": Windows reads it as a key line [syntax]",
          "p:4: warning: \"A\" is neither a [section], a comment nor key=value: Windows ignores it [syntax]",
          "p:7: warning: line with an empty key name: the monitor never reads it [syntax]"}},
        {"[Main]\nTimer=20\nTimer=5\n[Client]\nDefault=1\n1_Item=tv\n1_Control=0\n[KeyMap_tv]\nPOWER=#8010\n"
         "VOLUME=#1\nMUTE=9C\n[KeyMap_Controler]\nPOWER=5\nVOL+=20\nCH+=20\n",
         {"p:2: warning: Timer=20 ms polls so often that it costs CPU time; 100 or more is plenty [timer]",
          "p:3: warning: \"Timer\" repeated in [Main]: only line 2 counts [key-duplicate]",
          "p:6: error: 1_Item=tv has lower-case letters and never matches the upper-cased program name; write TV "
          "[item-case]",
          "p:7: warning: 1_Control=0: while the application runs, the monitor leaves the receiver to it, and the "
          "commands of [KeyMap_tv] are never sent; write 1_Control=1 [client-control]",
          "p:10: warning: \"VOLUME\" is not a remote key name; did you mean VOL+? [key-name]",
          "p:11: warning: MUTE=9C: too short, nothing is sent (write #hex or *hex) [command-format]",
          "p:11: note: MUTE has no code in [KeyMap_Controler]: this command is never sent [command-unmapped]",
          "p:12: note: 24 keys have no code yet: ZOOM, SCAN, TVFMSW, SWITCH, VOL-, CH-, MUTE, REVIEW, RESET+, RESET-, "
          "FREZE+, FREZE-, FUNC, BTN0, BTN1, BTN2, BTN3, BTN4, BTN5, BTN6, BTN7, BTN8, BTN9, BTN100; they do nothing "
          "until learned [code-unlearned]",
          "p:13: warning: POWER=5 never matches: a received code is written with at least two digits, 00 to 255 "
          "[code-format]",
          "p:14: warning: VOL+ shares code 20 with CH+, which takes it: VOL+ is never recognised [code-shared]"}},
        {"[Main]\nTimer=20000\n[Client]\nDefault=2\n2_Caption=X\n[KeyMap_Controler]\nPOWER=10\n",
         {"p:2: warning: Timer=20000 ms: keys answer so late that the remote feels dead [timer]",
          "p:5: error: no 2_Item: any program's window with the client's layout counts as the client, and with "
          "2_Control=0 the remote goes silent [item-empty]",
          "p:6: note: 26 keys have no code yet: ZOOM, SCAN, TVFMSW, SWITCH, VOL+, VOL-, CH+, CH-, MUTE, REVIEW, "
          "RESET+, RESET-, FREZE+, FREZE-, FUNC, BTN0, BTN1, BTN2, BTN3, BTN4, BTN5, BTN6, BTN7, BTN8, BTN9, "
          "BTN100; they do nothing until learned [code-unlearned]"}},
        {"[Client]\nDefault=1\n1_Item=NOTEPAD\n1_Caption=Untitled - Notepad\n1_Child0=15\n[KeyMap_Controler]\n"
         "POWER=10\n",
         {"p:3: warning: no section [KeyMap_NOTEPAD]: keys are recognised but nothing is sent to the client "
          "[client-keymap]",
          "p:4: note: 1_Caption=Untitled - Notepad: the window is found only while its title is exactly this "
          "(1_Child0..2 cannot find it): a title that changes with the channel or a document's name loses it "
          "[client-title]",
          "p:6: note: 26 keys have no code yet: ZOOM, SCAN, TVFMSW, SWITCH, VOL+, VOL-, CH+, CH-, MUTE, REVIEW, "
          "RESET+, RESET-, FREZE+, FREZE-, FUNC, BTN0, BTN1, BTN2, BTN3, BTN4, BTN5, BTN6, BTN7, BTN8, BTN9, "
          "BTN100; they do nothing until learned [code-unlearned]"}},
        {"[Client]\nDefault=1\n0_Item=TV\n[KeyMap_Controler]\nPOWER=10\n",
         {"p:2: error: Default=1 names a client without 1_Item, 1_Caption or 1_ClassName: no window is ever taken "
          "for the client [client-missing]",
          "p:4: note: 26 keys have no code yet: ZOOM, SCAN, TVFMSW, SWITCH, VOL+, VOL-, CH+, CH-, MUTE, REVIEW, "
          "RESET+, RESET-, FREZE+, FREZE-, FUNC, BTN0, BTN1, BTN2, BTN3, BTN4, BTN5, BTN6, BTN7, BTN8, BTN9, "
          "BTN100; they do nothing until learned [code-unlearned]"}},
        {"[Client]\n0_Item=TV\n0_ClassName=C\n[KeyMap_TV]\nVOL+=#1\n[KeyMap_Controler]\nPOWER=\n",
         {"p:1: warning: no 0_Control (0): while the application runs, the monitor leaves the receiver to it, and "
          "the commands of [KeyMap_TV] are never sent; write 0_Control=1 [client-control]",
          "p:5: warning: VOL+=#1: too short, nothing is sent (write #hex or *hex) [command-format]",
          "p:5: note: VOL+ has no code in [KeyMap_Controler]: this command is never sent [command-unmapped]",
          "p:6: warning: the remote is not set up yet: no key has a code; QRTLRemote.exe (\"Set up the remote\" in "
          "the Start menu) sets it up [not-set-up]"}},
        {"[Client]\n0_Item=TV\n[KeyMap_Controler]\nPOWER=10\nZOOM=11\nSCAN=12\nTVFMSW=13\nSWITCH=14\nVOL+=15\n"
         "VOL-=16\nCH+=17\nCH-=18\nMUTE=19\nREVIEW=20\nRESET+=21\nRESET-=22\nFREZE+=23\nFREZE-=24\nFUNC=25\n"
         "BTN0=26\nBTN1=27\nBTN2=28\nBTN3=29\nBTN4=30\nBTN5=31\nBTN6=32\nBTN7=33\nBTN8=34\nBTN9=35\n",
         {"p:2: warning: no section [KeyMap_TV]: keys are recognised but nothing is sent to the client "
          "[client-keymap]",
          "p:3: note: 1 key has no code yet: BTN100; it does nothing until learned [code-unlearned]"}},
    };
    for (const WordsCase& c : cases) EXPECT_EQ(Lines(c.profile), c.lines) << c.profile;
}

}  // namespace
