// Every key of the profile file with its section and the value taken when it is
// missing, written once. The profile load, the setup dialog's data, the POWER
// watch, the checker and QRTLProfile all read this table.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace profile {

constexpr char kMain[] = "Main";
constexpr char kClient[] = "Client";
constexpr char kControllerSection[] = "KeyMap_Controler";
constexpr char kClientSectionPrefix[] = "KeyMap_";

// Numbers are stored as decimal text; a text key's default is the empty text.
enum class Kind { Number, Text };

struct Key {
    const char* section;
    const char* name;     // for a client key the part after "N_"
    Kind kind;
    int32_t def;          // the default of a number
    bool bPerClient;      // "N_Name" in [Client], once per client N
};

// [Main]
constexpr Key kShowMainWindow{kMain, "ShowMainWindow", Kind::Number, 0, false};
constexpr Key kTimer{kMain, "Timer", Kind::Number, 3000, false};
constexpr Key kAutoRun{kMain, "AutoRun", Kind::Number, 1, false};
constexpr Key kShutDown{kMain, "ShutDown", Kind::Number, 1, false};

// [Client]: which client is active, and its keys.
constexpr Key kDefaultClient{kClient, "Default", Kind::Number, 0, false};
constexpr Key kItem{kClient, "Item", Kind::Text, 0, true};
constexpr Key kCaption{kClient, "Caption", Kind::Text, 0, true};
constexpr Key kClassName{kClient, "ClassName", Kind::Text, 0, true};
constexpr Key kChild0{kClient, "Child0", Kind::Number, 0, true};
constexpr Key kChild1{kClient, "Child1", Kind::Number, 0, true};
constexpr Key kChild2{kClient, "Child2", Kind::Number, 0, true};
constexpr Key kControl{kClient, "Control", Kind::Number, 0, true};
constexpr Key kExeDesc{kClient, "ExeDesc", Kind::Text, 0, true};
constexpr Key kRegPath{kClient, "RegPath", Kind::Text, 0, true};
constexpr Key kRegFolder{kClient, "RegFolder", Kind::Text, 0, true};
constexpr Key kExeName{kClient, "ExeName", Kind::Text, 0, true};

// The whole table, in the order the sample profile lists the keys.
constexpr const Key* kKeys[] = {
    &kShowMainWindow, &kTimer,   &kAutoRun,  &kShutDown, &kDefaultClient, &kItem,
    &kCaption,        &kClassName, &kChild0, &kChild1,  &kChild2,        &kControl,
    &kExeDesc,        &kRegPath, &kRegFolder, &kExeName,
};

// The TV applications a profile keeps side by side, clients 0, 1 and 2: each has a
// description the setup dialog offers, and the set-up tools list each.
constexpr int kClientSlots = 3;

// The key's name in its section: "N_Name" for a client key of client `nClient`
// ("-1_Item" for -1), else its name.
std::string KeyName(const Key& key, int32_t nClient = 0);

// A number key, its default when missing.
int32_t ReadInt(qrtl::IProfile& profile, const Key& key, const std::string& path,
                int32_t nClient = 0);

}  // namespace profile

// One text value of the profile: empty default, at most 255 characters.
std::string ReadProfileString(qrtl::IProfile& profile, const std::string& section,
                              const std::string& key, const std::string& path);
// A text key of the table.
std::string ReadProfileString(qrtl::IProfile& profile, const profile::Key& key,
                              const std::string& path, int32_t nClient = 0);
