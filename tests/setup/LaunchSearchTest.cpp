// The search for the launch lines over a fake HKEY_LOCAL_MACHINE.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/LaunchSearch.h"
#include "fakes/Fakes.h"

namespace {

constexpr char kExe[] = "C:\\Program Files\\NewTV\\newtv.exe";
constexpr char kAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\newtv.exe";
constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NewTV 2.0";

struct Value {
    const char* key;
    const char* name;
    std::string data;
};

struct LaunchCase {
    const char* name;
    std::vector<Value> values;
    const char* regPath;  // null: nothing found
    const char* regFolder;
};

TEST(LaunchSearch, RegistryTable_FirstPlaceHoldingTheFolderWins) {
    const std::string longFolder = "C:\\" + std::string(300, 'x');
    const std::vector<LaunchCase> cases = {
        {"App Paths", {{kAppPath, "Path", "C:\\Program Files\\NewTV"}}, kAppPath, "Path"},
        {"App Paths with a backslash, other case",
         {{kAppPath, "Path", "c:\\program files\\newtv\\"}}, kAppPath, "Path"},
        {"App Paths of another folder, Uninstall right",
         {{kAppPath, "Path", "C:\\Old\\NewTV"}, {kUninstall, "InstallLocation", "C:\\Program Files\\NewTV\\"}},
         kUninstall, "InstallLocation"},
        {"Uninstall before the vendor's key",
         {{"Software\\Acme\\NewTV", "Folder", "C:\\Program Files\\NewTV"},
          {kUninstall, "InstallLocation", "C:\\Program Files\\NewTV"}},
         kUninstall, "InstallLocation"},
        {"vendor, one level", {{"Software\\Acme\\NewTV", "InstallDir", "C:\\Program Files\\NewTV"}},
         "Software\\Acme\\NewTV", "InstallDir"},
        {"vendor, two levels",
         {{"Software\\Acme\\NewTV", "Version", "2.0"},
          {"Software\\Acme\\NewTV\\Settings", "Home", "C:\\PROGRAM FILES\\NEWTV"}},
         "Software\\Acme\\NewTV\\Settings", "Home"},
        {"vendor, three levels is too deep",
         {{"Software\\Acme\\NewTV\\Settings\\Paths", "Home", "C:\\Program Files\\NewTV"}}, nullptr, nullptr},
        {"the system's own keys are not walked",
         {{"Software\\Microsoft\\NewTV", "Home", "C:\\Program Files\\NewTV"}}, nullptr, nullptr},
        {"a parent folder is not the folder",
         {{"Software\\Acme\\NewTV", "Root", "C:\\Program Files"}}, nullptr, nullptr},
        {"nothing", {}, nullptr, nullptr},
        {"a value name the profile cannot hold is passed over",
         {{"Software\\Acme\\NewTV", "Dir\r\n[Injected]\r\nX", "C:\\Program Files\\NewTV"},
          {"Software\\Acme\\NewTV", "InstallDir", "C:\\Program Files\\NewTV"}},
         "Software\\Acme\\NewTV", "InstallDir"},
        {"a key name the profile cannot hold is passed over",
         {{"Software\\Acme\\New\nTV", "Dir", "C:\\Program Files\\NewTV"},
          {"Software\\Zeta\\NewTV", "Dir", "C:\\Program Files\\NewTV"}},
         "Software\\Zeta\\NewTV", "Dir"},
        {"only such a name: taken, so that the plan says why it writes no launch lines",
         {{"Software\\Acme\\NewTV", "Dir\r\nX", "C:\\Program Files\\NewTV"}}, "Software\\Acme\\NewTV",
         "Dir\r\nX"},
    };
    for (const LaunchCase& c : cases) {
        fakes::FakeRegistry registry;
        for (const Value& v : c.values)
            registry.keys[qrtl::RegRoot::LocalMachine][v.key].values[v.name] = v.data;
        const qrtl::setup::LaunchLines lines = qrtl::setup::FindLaunchLines(registry, kExe);
        EXPECT_EQ(lines.found, c.regPath != nullptr) << c.name;
        if (c.regPath == nullptr) continue;
        EXPECT_EQ(lines.regPath, c.regPath) << c.name;
        EXPECT_EQ(lines.regFolder, c.regFolder) << c.name;
        EXPECT_EQ(lines.exeName, "newtv.exe") << c.name;
    }
}

TEST(LaunchSearch, ValueLongerThanTheMonitorReads_NotTaken) {
    const std::string folder = "C:\\" + std::string(260, 'x');
    fakes::FakeRegistry registry;
    registry.keys[qrtl::RegRoot::LocalMachine]["Software\\Acme\\NewTV"].values["Dir"] = folder;
    EXPECT_FALSE(qrtl::setup::FindLaunchLines(registry, folder + "\\tv.exe").found);
}

}  // namespace
