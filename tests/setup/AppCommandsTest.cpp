// The command catalog and the synonym matcher: labels of menus and controls in,
// the remote keys they mean and the suggested command per key out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/QRTLIRSet.h"
#include "setup/AppCommands.h"

namespace {

using qrtl::setup::AppCatalog;
using qrtl::setup::CommandSource;

std::vector<std::string> KeysOf(const std::string& label) {
    std::vector<std::string> names;
    for (int k : qrtl::setup::RemoteKeysForLabel(label)) names.push_back(RemoteKeyNames[k]);
    return names;
}

TEST(SynonymMatcher, LabelTable_MeansTheseKeys) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"Volume &up", {"VOL+"}},
        {"LOUDER", {"VOL+"}},
        {"Vol+", {"VOL+"}},
        {"&Lauter", {"VOL+"}},
        {"Lautst\xC4rke +", {"VOL+"}},  // the ANSI capital A-umlaut, lower-cased as well
        {"Volume down", {"VOL-"}},
        {"Leiser", {"VOL-"}},
        {"Next channel", {"CH+"}},
        {"Channel up", {"CH+"}},
        {"Program Up", {"CH+"}},
        {"CH +", {"CH+"}},
        {"N\xE4" "chster Sender", {"CH+"}},
        {"Previous channel", {"CH-"}},
        {"&Mute", {"MUTE"}},
        {"Sound off", {"MUTE"}},
        {"Stumm", {"MUTE"}},
        {"Ton aus", {"MUTE"}},
        {"Mute audio", {"MUTE"}},  // holds the word: a weaker match, still found
        {"E&xit", {"POWER"}},
        {"Quit", {"POWER"}},
        {"Beenden", {"POWER"}},
        {"Exit full screen", {"ZOOM"}},  // "exit" counts only alone
        {"5", {"BTN5"}},
        {"&0", {"BTN0"}},
        {"Channel 5", {}},  // a digit counts only alone
        {"Full screen", {"ZOOM"}},
        {"Scan channels...", {"SCAN"}},
        {"Freeze picture", {"FREZE+"}},
        {"Options...", {"FUNC"}},
        {"Open recording", {}},
        {"", {}},
    };
    for (const auto& [label, keys] : cases) EXPECT_EQ(KeysOf(label), keys) << label;
}

TEST(SynonymMatcher, MenuAndControls_MenuFirstInMenuOrderAlternativesListed) {
    AppCatalog catalog;
    catalog.menus = {
        {0x8100, "File > Exit", "", CommandSource::Resource},
        {0x8101, "Audio > Mute microphone", "", CommandSource::Resource},
        {0x8102, "Audio > Volume up", "Num +", CommandSource::Resource},
        {0x8103, "View > Louder", "", CommandSource::Resource},
        {0x8104, "Channel > Up", "", CommandSource::Resource},
        {0x8105, "Channel > 7", "", CommandSource::Resource},
    };
    catalog.controls = {{0x0451, "Vol +", "Button"}, {0x0452, "Mute", "Button"}, {0x0453, "7", "Button"}};
    const auto suggestions = qrtl::setup::SuggestCommands(catalog);
    std::vector<std::string> lines;
    for (const auto& s : suggestions) {
        std::string line = s.key + "=" + s.best.commandText + " " + s.best.what;
        for (const auto& a : s.alternatives) line += " | " + a.commandText;
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "POWER=#8100 File > Exit",
                         "VOL+=#8102 Audio > Volume up | #8103 | #0451",
                         // The control says exactly "Mute"; the menu item only holds the word.
                         "CH+=#8104 Channel > Up",
                         "MUTE=#0452 Mute (control) | #8101",
                         "BTN7=#8105 Channel > 7 | #0453",
                     }));
}

TEST(CommandCatalog, MenuTextsAndCommandTexts_InWords) {
    std::string label, shortcut;
    qrtl::setup::SplitMenuText("Volume &up\tNum +", label, shortcut);
    EXPECT_EQ(label + "|" + shortcut, "Volume up|Num +");
    qrtl::setup::SplitMenuText("Rock && &Roll", label, shortcut);
    EXPECT_EQ(label + "|" + shortcut, "Rock & Roll|");

    AppCatalog catalog;
    catalog.menus = {{0x9C4A, "Audio > Volume up", "", CommandSource::LiveMenu}};
    catalog.controls = {{0x03E9, "Mute", "Button"}};
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"#9C4A", "Menu: Audio > Volume up"},
        {"#19C4A", "Menu: Audio > Volume up"},  // only the low 16 bits are sent
        {"#3E9", "Control: Mute"},
        {"#1234", "Command 1234"},
        {"*26", "Key: Up arrow"},
        {"*6B", "Key: Num +"},
        {"x12", "Not a command: x12"},
        {"", ""},
    };
    for (const auto& [text, words] : cases)
        EXPECT_EQ(qrtl::setup::DescribeCommandText(catalog, text), words) << text;
}

TEST(CommandCatalog, ShortcutTexts_KeysUnlessAnAcceleratorHasThemAlready) {
    AppCatalog catalog;
    catalog.menus = {{1, "A", "Up", CommandSource::Resource},
                     {2, "B", "Ctrl+O", CommandSource::Resource},
                     {3, "C", "Num +", CommandSource::Resource},
                     {4, "D", "nonsense", CommandSource::Resource}};
    catalog.keys = {{{0x26, 0}, 9, CommandSource::Resource}};
    catalog.AddShortcutKeys();
    ASSERT_EQ(catalog.keys.size(), 3u);
    EXPECT_EQ(catalog.keys[0].commandId, 9u);  // the accelerator stays, the shortcut adds nothing
    EXPECT_EQ(qrtl::setup::KeyStrokeText(catalog.keys[1].key), "Ctrl+O");
    EXPECT_FALSE(catalog.keys[1].key.Postable());
    EXPECT_EQ(qrtl::setup::KeyCommandText(catalog.keys[2].key), "*6B");
}

}  // namespace
