#include <gtest/gtest.h>

#include <map>
#include <string>

#include "config/QRTLIRSet.h"
#include "fakes/Fakes.h"
#include "trace/Trace.h"

namespace {

constexpr const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char kRunValue[] = "Quorel TLIRMoni";
using qrtl::RegRoot;

class AutoRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        set.SetServices(fake.Services());
        SetTraceTransport(&transport);
        RunKey(RegRoot::LocalMachine);
        RunKey(RegRoot::CurrentUser);
    }
    void TearDown() override { SetTraceTransport(nullptr); }
    fakes::FakeRegistry::Key& RunKey(RegRoot root) { return fake.registry.keys[root][kRunKey]; }
    bool HasRunValue(RegRoot root) { return RunKey(root).values.count(kRunValue) != 0; }
    std::string RunValue(RegRoot root) { return RunKey(root).values.at(kRunValue); }

    fakes::FakePlatform fake;
    fakes::RecordingTransport transport;
    CQRTLIRSet set;
};

TEST_F(AutoRunTest, SetAutoRun_Set_WritesMachineRunValueWithCapitalExe) {
    fake.module.path = "C:\\Apps\\qrtlirmoni.exe";
    set.SetAutoRun(1);
    EXPECT_EQ(RunValue(RegRoot::LocalMachine), "C:\\Apps\\qrtlirmoni.EXE");
    EXPECT_FALSE(HasRunValue(RegRoot::CurrentUser));
    EXPECT_EQ(transport.Texts(), (std::vector<std::string>{
                                     "SetAutoRun : HKLM : C:\\Apps\\qrtlirmoni.EXE @ "
                                     "QRTLIRMoniSetupDlg @ 140"}));
    EXPECT_EQ(transport.lines[0].level, kTraceFlow);
}

TEST_F(AutoRunTest, SetAutoRun_PathCases_OnlyTextAfterLastDotReplaced) {
    const struct {
        const char* module;
        const char* data;
    } cases[] = {
        {"C:\\a.b\\prog.exe", "C:\\a.b\\prog.EXE"},
        {"C:\\a.b\\prog.Exe", "C:\\a.b\\prog.EXE"},
        {"C:\\Program Files\\X\\QRTLIRMoni.exe", "\"C:\\Program Files\\X\\QRTLIRMoni.EXE\""},
    };
    for (const auto& c : cases) {
        fake.module.path = c.module;
        set.SetAutoRun(1);
        EXPECT_EQ(RunValue(RegRoot::LocalMachine), c.data) << c.module;
    }
}

TEST_F(AutoRunTest, SetAutoRun_LongPath_BoundedTo259BeforeQuoting) {
    fake.module.path = "C:\\" + std::string(260, 'd') + "\\p.exe";
    set.SetAutoRun(1);
    EXPECT_EQ(RunValue(RegRoot::LocalMachine).size(), 259u);

    fake.module.path = "C:\\With Blank\\" + std::string(260, 'd') + ".exe";
    set.SetAutoRun(1);
    const std::string quoted = RunValue(RegRoot::LocalMachine);
    EXPECT_EQ(quoted.size(), 261u);
    EXPECT_EQ(quoted.front(), '"');
    EXPECT_EQ(quoted.back(), '"');
}

TEST_F(AutoRunTest, SetAutoRun_MachineKeyNotWritable_WritesUserKeyAndTraces) {
    RunKey(RegRoot::LocalMachine).writable = false;
    set.SetAutoRun(1);
    EXPECT_FALSE(HasRunValue(RegRoot::LocalMachine));
    EXPECT_EQ(RunValue(RegRoot::CurrentUser), "C:\\Apps\\QRTLIRMoni.EXE");
    EXPECT_EQ(transport.Texts(), (std::vector<std::string>{
                                     "SetAutoRun : HKCU : C:\\Apps\\QRTLIRMoni.EXE @ "
                                     "QRTLIRMoniSetupDlg @ 141"}));
}

TEST_F(AutoRunTest, SetAutoRun_NeitherKeyWritable_TracesNotWritten) {
    RunKey(RegRoot::LocalMachine).writable = false;
    RunKey(RegRoot::CurrentUser).writable = false;
    set.SetAutoRun(1);
    EXPECT_FALSE(HasRunValue(RegRoot::LocalMachine));
    EXPECT_FALSE(HasRunValue(RegRoot::CurrentUser));
    ASSERT_EQ(transport.lines.size(), 1u);
    EXPECT_EQ(transport.lines[0].text,
              "SetAutoRun : not written : C:\\Apps\\QRTLIRMoni.EXE @ QRTLIRMoniSetupDlg @ 142");
}

TEST_F(AutoRunTest, SetAutoRun_BothKeys_NeverLeavesTwoEntries) {
    // Written for every user: a copy an earlier run left in the user's key goes.
    RunKey(RegRoot::CurrentUser).values[kRunValue] = "C:\\Apps\\QRTLIRMoni.EXE";
    set.SetAutoRun(1);
    EXPECT_TRUE(HasRunValue(RegRoot::LocalMachine));
    EXPECT_FALSE(HasRunValue(RegRoot::CurrentUser));

    // Without rights, and the machine's key already starts this very path: no second entry.
    RunKey(RegRoot::LocalMachine).writable = false;
    transport.lines.clear();
    set.SetAutoRun(1);
    EXPECT_FALSE(HasRunValue(RegRoot::CurrentUser));
    ASSERT_EQ(transport.lines.size(), 1u);
    EXPECT_EQ(transport.lines[0].text,
              "SetAutoRun : HKLM : C:\\Apps\\QRTLIRMoni.EXE @ QRTLIRMoniSetupDlg @ 140");

    // The machine's entry names another path: the user's key gets this one.
    fake.module.path = "D:\\Moved\\QRTLIRMoni.exe";
    set.SetAutoRun(1);
    EXPECT_EQ(RunValue(RegRoot::CurrentUser), "D:\\Moved\\QRTLIRMoni.EXE");
}

// A machine key that opens but refuses the value is not a reason to use the user's key.
class FailingMachineRegistry : public fakes::FakeRegistry {
public:
    qrtl::RegWrite SetString(RegRoot root, const std::string& path, const std::string& name,
                             const std::string& data) override {
        if (root == RegRoot::LocalMachine) {
            calls.push_back("set HKLM failed");
            return qrtl::RegWrite::Failed;
        }
        return FakeRegistry::SetString(root, path, name, data);
    }
};

TEST_F(AutoRunTest, SetAutoRun_MachineWriteFailed_NoUserFallback) {
    FailingMachineRegistry registry;
    registry.keys[RegRoot::CurrentUser][kRunKey];
    qrtl::Services s = fake.Services();
    s.registry = &registry;
    set.SetServices(s);
    set.SetAutoRun(1);
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"set HKLM failed"}));
    ASSERT_EQ(transport.lines.size(), 1u);
    EXPECT_EQ(transport.lines[0].text.rfind("SetAutoRun : not written : ", 0), 0u);
}

TEST_F(AutoRunTest, SetAutoRun_Delete_RemovesFromBothKeysWithoutTrace) {
    RunKey(RegRoot::LocalMachine).values[kRunValue] = "a";
    RunKey(RegRoot::CurrentUser).values[kRunValue] = "b";
    RunKey(RegRoot::LocalMachine).values["Other"] = "keep";
    set.SetAutoRun(0);
    EXPECT_FALSE(HasRunValue(RegRoot::LocalMachine));
    EXPECT_FALSE(HasRunValue(RegRoot::CurrentUser));
    EXPECT_EQ(RunKey(RegRoot::LocalMachine).values.at("Other"), "keep");
    EXPECT_TRUE(transport.lines.empty());
    // Deleting what is not there changes nothing and still tries both keys.
    fake.registry.calls.clear();
    EXPECT_EQ(set.SetAutoRun(0), CQRTLIRSet::AutoRun::Done);
    EXPECT_EQ(fake.registry.calls,
              (std::vector<std::string>{"delete HKLM Quorel TLIRMoni",
                                        "read Software\\Microsoft\\Windows\\CurrentVersion\\Run Quorel TLIRMoni",
                                        "delete HKCU Quorel TLIRMoni"}));
}

TEST_F(AutoRunTest, SetAutoRun_DeleteRefusedForMachineValue_ReportedAndTraced) {
    RunKey(RegRoot::LocalMachine).values[kRunValue] = "C:\\Apps\\QRTLIRMoni.EXE";
    RunKey(RegRoot::LocalMachine).writable = false;  // a standard user's rights
    RunKey(RegRoot::CurrentUser).values[kRunValue] = "b";
    EXPECT_EQ(set.SetAutoRun(0), CQRTLIRSet::AutoRun::MachineValueStays);
    EXPECT_TRUE(HasRunValue(RegRoot::LocalMachine));
    EXPECT_FALSE(HasRunValue(RegRoot::CurrentUser));
    EXPECT_EQ(transport.Texts(), (std::vector<std::string>{
                                     "SetAutoRun : HKLM stays : C:\\Apps\\QRTLIRMoni.EXE @ "
                                     "QRTLIRMoniSetupDlg @ 143"}));
}

// Where the executable lies decides: for every user only from a folder that only
// administrators may change; elsewhere the user's key, and no value for every user.
TEST_F(AutoRunTest, SetAutoRun_ExecutableFolder_MachineKeyOnlyFromProtectedFolders) {
    fake.module.foldersKnown = true;
    fake.module.protectedFolders = {"C:\\Program Files", "C:\\Program Files (x86)\\"};
    const struct {
        const char* exe;
        bool machine;
    } cases[] = {
        {"C:\\Program Files\\QRTL\\QRTLIRMoni.exe", true},
        {"c:\\program files (x86)\\QRTL\\QRTLIRMoni.exe", true},
        {"C:\\Windows/QRTLIRMoni.exe", false},
        {"C:\\Program Files Extra\\QRTLIRMoni.exe", false},
        {"C:\\QRTL\\QRTLIRMoni.exe", false},
        {"D:\\Program Files\\QRTL\\QRTLIRMoni.exe", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exe);
        RunKey(RegRoot::LocalMachine).values[kRunValue] = "left by an earlier run";
        RunKey(RegRoot::CurrentUser).values.erase(kRunValue);
        fake.module.path = c.exe;
        EXPECT_EQ(set.SetAutoRun(1), CQRTLIRSet::AutoRun::Done);
        EXPECT_EQ(HasRunValue(RegRoot::LocalMachine), c.machine);
        EXPECT_EQ(HasRunValue(RegRoot::CurrentUser), !c.machine);
    }

    // A value for every user that cannot go: one that already starts this path is left
    // alone (two would start two monitors), one naming another path is not enough.
    RunKey(RegRoot::LocalMachine).writable = false;
    RunKey(RegRoot::LocalMachine).values[kRunValue] = "C:\\QRTL\\QRTLIRMoni.EXE";
    RunKey(RegRoot::CurrentUser).values.erase(kRunValue);
    fake.module.path = "C:\\QRTL\\QRTLIRMoni.exe";
    EXPECT_EQ(set.SetAutoRun(1), CQRTLIRSet::AutoRun::MachineValueStays);
    EXPECT_FALSE(HasRunValue(RegRoot::CurrentUser));
    fake.module.path = "C:\\Moved\\QRTLIRMoni.exe";
    EXPECT_EQ(set.SetAutoRun(1), CQRTLIRSet::AutoRun::Done);
    EXPECT_EQ(RunValue(RegRoot::CurrentUser), "C:\\Moved\\QRTLIRMoni.EXE");
}

// Inside Program Files, the rights decide: the executable's folder and every parent up
// to Program Files itself must keep users from placing files there.
TEST_F(AutoRunTest, SetAutoRun_FolderRights_MachineKeyOnlyWhenNoFolderUpToProgramFilesIsUsers) {
    using W = qrtl::FolderWriters;
    constexpr W kAdmins = W::AdministratorsOnly;
    fake.module.foldersKnown = true;
    fake.module.protectedFolders = {"C:\\Program Files\\"};
    fake.module.path = "C:\\Program Files\\Vendor\\QRTL\\QRTLIRMoni.exe";
    const struct {
        const char* name;
        W exeFolder, vendor, programFiles;
        bool machine;
    } cases[] = {
        {"all for administrators", kAdmins, kAdmins, kAdmins, true},
        {"users write beside the exe", W::Users, kAdmins, kAdmins, false},
        {"users write one folder up", kAdmins, W::Users, kAdmins, false},
        {"users write Program Files", kAdmins, kAdmins, W::Users, false},
        {"rights unreadable", W::Unreadable, kAdmins, kAdmins, false},
        {"no rights kept (9x): the place decides", W::NoSecurity, W::NoSecurity, W::NoSecurity, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake.module.folderWriters = {{"c:\\program files\\vendor\\qrtl", c.exeFolder},
                                     {"c:\\program files\\vendor", c.vendor},
                                     {"c:\\program files", c.programFiles}};
        fake.module.rightsAsked.clear();
        RunKey(RegRoot::LocalMachine).values.erase(kRunValue);
        RunKey(RegRoot::CurrentUser).values.erase(kRunValue);
        EXPECT_EQ(set.SetAutoRun(1), CQRTLIRSet::AutoRun::Done);
        EXPECT_EQ(HasRunValue(RegRoot::LocalMachine), c.machine);
        EXPECT_EQ(HasRunValue(RegRoot::CurrentUser), !c.machine);
        // Never a folder above Program Files: the drive's root lets users add folders.
        for (const std::string& asked : fake.module.rightsAsked)
            EXPECT_EQ(asked.rfind("C:\\Program Files", 0), 0u) << asked;
    }
}

// Every file the start runs from must be as closed to users as the folders: the
// executable, the driver library (beside it or in the system folder) and the profile
// whose launch lines POWER starts. An owner or any group other than Administrators,
// SYSTEM and TrustedInstaller is read as Users by the system's reader.
TEST_F(AutoRunTest, SetAutoRun_FileRights_MachineKeyOnlyWhenAdministratorsAloneMayChangeEach) {
    using W = qrtl::FolderWriters;
    fake.module.foldersKnown = true;
    fake.module.protectedFolders = {"C:\\Program Files"};
    fake.module.path = "C:\\Program Files\\QRTL\\QRTLIRMoni.exe";
    fake.module.otherFolders = W::AdministratorsOnly;
    const char* const kExe = "c:\\program files\\qrtl\\qrtlirmoni.exe";
    const char* const kDriver = "c:\\program files\\qrtl\\qrd210de.dll";
    const char* const kProfile = "c:\\program files\\qrtl\\qrtlirmoni.ini";
    const char* const kSystemDriver = "c:\\windows\\system32\\qrd210de.dll";
    const struct {
        const char* name;
        std::map<std::string, W> writers;
        const char* driverElsewhere;
        bool driverFound;
        bool machine;
    } cases[] = {
        {"all for administrators", {}, nullptr, true, true},
        {"users may change the executable", {{kExe, W::Users}}, nullptr, true, false},
        {"users may change the driver", {{kDriver, W::Users}}, nullptr, true, false},
        {"users may change the profile", {{kProfile, W::Users}}, nullptr, true, false},
        {"profile rights unreadable", {{kProfile, W::Unreadable}}, nullptr, true, false},
        {"no profile yet: its folder decides", {{kProfile, W::Missing}}, nullptr, true, true},
        {"driver in the system folder", {{kDriver, W::Missing}}, kSystemDriver, true, true},
        {"users may change the system folder's driver", {{kSystemDriver, W::Users}}, kSystemDriver, true,
         false},
        {"no driver found: it could come from any folder on the path", {}, nullptr, false, false},
        {"the executable's folder is missing", {{"c:\\program files\\qrtl", W::Missing}}, nullptr, true,
         false},
        {"no rights kept (9x)", {{kExe, W::NoSecurity}, {kProfile, W::NoSecurity}}, nullptr, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake.module.folderWriters = c.writers;
        fake.module.driverLibrary = c.driverElsewhere ? c.driverElsewhere : "";
        fake.module.driverFound = c.driverFound;
        RunKey(RegRoot::LocalMachine).values.erase(kRunValue);
        RunKey(RegRoot::CurrentUser).values.erase(kRunValue);
        EXPECT_EQ(set.SetAutoRun(1), CQRTLIRSet::AutoRun::Done);
        EXPECT_EQ(HasRunValue(RegRoot::LocalMachine), c.machine);
        EXPECT_EQ(HasRunValue(RegRoot::CurrentUser), !c.machine);
    }
}

// Odd spellings of the same place still end the walk at Program Files; the executable,
// its driver library and its profile are asked first.
TEST_F(AutoRunTest, SetAutoRun_PathSpellings_AsksEachFolderUpToProgramFilesOnce) {
    fake.module.foldersKnown = true;
    fake.module.protectedFolders = {"c:\\program files"};
    fake.module.otherFolders = qrtl::FolderWriters::AdministratorsOnly;
    const struct {
        const char* exe;
        std::vector<std::string> asked;
    } cases[] = {
        {"C:\\Program Files\\QRTLIRMoni.exe",
         {"C:\\Program Files\\QRTLIRMoni.exe", "C:\\Program Files\\QRD210DE.DLL",
          "C:\\Program Files\\QRTLIRMoni.INI", "C:\\Program Files"}},
        {"C:\\Program Files\\\\QRTL\\QRTLIRMoni.exe",
         {"C:\\Program Files\\\\QRTL\\QRTLIRMoni.exe", "C:\\Program Files\\\\QRTL\\QRD210DE.DLL",
          "C:\\Program Files\\\\QRTL\\QRTLIRMoni.INI", "C:\\Program Files\\\\QRTL", "C:\\Program Files"}},
        {"C:/Program Files/QRTL/QRTLIRMoni.exe",
         {"C:/Program Files/QRTL/QRTLIRMoni.exe", "C:/Program Files/QRTL/QRD210DE.DLL",
          "C:/Program Files/QRTL/QRTLIRMoni.INI", "C:/Program Files/QRTL", "C:/Program Files"}},
        {"C:\\QRTL\\QRTLIRMoni.exe", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exe);
        fake.module.path = c.exe;
        fake.module.rightsAsked.clear();
        set.SetAutoRun(1);
        EXPECT_EQ(fake.module.rightsAsked, c.asked);
        EXPECT_EQ(HasRunValue(RegRoot::LocalMachine), !c.asked.empty());
    }
}

}  // namespace
