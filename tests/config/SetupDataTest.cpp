#include <gtest/gtest.h>

#include <string>

#include "config/QRTLIRSet.h"
#include "config/SetupData.h"
#include "fakes/Fakes.h"
#include "trace/Trace.h"

namespace {

constexpr const char kIni[] = "C:\\Apps\\QRTLIRMoni.INI";
constexpr const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char kRunValue[] = "Quorel TLIRMoni";
using qrtl::RegRoot;

class SetupDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        set.SetServices(fake.Services());
        set.m_strIniPath = kIni;
        fake.registry.keys[RegRoot::LocalMachine][kRunKey];
        SetTraceTransport(&transport);
    }
    void TearDown() override { SetTraceTransport(nullptr); }
    void Profile(const char* section, const char* key, const std::string& value) {
        fake.profile.Set(kIni, section, key, value);
    }
    std::string Stored(const char* section, const char* key) {
        return fake.profile.Get(kIni, section, key);
    }
    bool RunValueSet() {
        return fake.registry.keys[RegRoot::LocalMachine][kRunKey].values.count(kRunValue) != 0;
    }

    fakes::FakePlatform fake;
    fakes::RecordingTransport transport;
    CQRTLIRSet set;
    CSetupData data{set};
};

TEST_F(SetupDataTest, LoadForDialog_MissingKeys_BothCheckedFirstEntry) {
    Profile("Main", "ShutDown", "");  // an empty value reads as missing
    data.LoadForDialog();
    EXPECT_EQ(data.m_bAutoRun, 1);
    EXPECT_EQ(data.m_bShutDown, 1);
    EXPECT_EQ(data.m_nDefault, 0);
}

TEST_F(SetupDataTest, LoadForDialog_StoredValues_ReadFromIniPath) {
    Profile("Main", "AutoRun", "0");
    Profile("Main", "ShutDown", "2");
    Profile("Client", "Default", "3");
    fake.profile.Set("C:\\elsewhere.INI", "Main", "AutoRun", "1");
    data.LoadForDialog();
    EXPECT_EQ(data.m_bAutoRun, 0);
    EXPECT_EQ(data.m_bShutDown, 2);   // 2 is a check box state and is kept
    EXPECT_EQ(data.m_nDefault, 3);    // names no entry; the combo shows no selection
}

TEST_F(SetupDataTest, LoadForDialog_OutOfRangeFlags_BecomeZero) {
    Profile("Main", "AutoRun", "5");
    Profile("Main", "ShutDown", "-1");
    data.LoadForDialog();
    EXPECT_EQ(data.m_bAutoRun, 0);
    EXPECT_EQ(data.m_bShutDown, 0);
}

TEST_F(SetupDataTest, UpdateRegistryRead_Trace_ExactLinesAndNumbers) {
    Profile("Main", "AutoRun", "0");
    data.UpdateRegistry(1);
    EXPECT_EQ(transport.Texts(),
              (std::vector<std::string>{
                  "CQRTLIRMoniSetupDlg::UpdateRegistry Read @ QRTLIRMoniSetupDlg @ 98",
                  "AutoRun  : 0 @ QRTLIRMoniSetupDlg @ 105",
                  "ShutDown : 1 @ QRTLIRMoniSetupDlg @ 106"}));
    for (const auto& line : transport.lines) EXPECT_EQ(line.level, 101);
    EXPECT_TRUE(fake.profile.writes.empty());
}

TEST_F(SetupDataTest, UpdateRegistryWrite_Trace_ExactLinesAndNumbers) {
    data.m_bAutoRun = 0;
    data.m_bShutDown = 1;
    data.m_nDefault = 2;
    data.UpdateRegistry(0);
    EXPECT_EQ(transport.Texts(),
              (std::vector<std::string>{
                  "CQRTLIRMoniSetupDlg::UpdateRegistry Write @ QRTLIRMoniSetupDlg @ 112",
                  "AutoRun  : 0 @ QRTLIRMoniSetupDlg @ 128",
                  "ShutDown : 1 @ QRTLIRMoniSetupDlg @ 129"}));
    for (const auto& line : transport.lines) EXPECT_EQ(line.level, 101);
}

TEST_F(SetupDataTest, SaveFromDialog_Checked_WritesAllThreeAndSetsRunValue) {
    data.SaveFromDialog(1, 0, 2);
    EXPECT_EQ(fake.profile.writes,
              (std::vector<std::string>{"Main/AutoRun=1", "Main/ShutDown=0", "Client/Default=2"}));
    EXPECT_TRUE(RunValueSet());
    // The registry is written between the AutoRun and the ShutDown write.
    const auto texts = transport.Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1], "SetAutoRun : HKLM : C:\\Apps\\QRTLIRMoni.EXE @ QRTLIRMoniSetupDlg @ 140");
}

TEST_F(SetupDataTest, SaveFromDialog_UncheckedNoSelection_KeepsStoredDefaultAndDeletes) {
    fake.registry.keys[RegRoot::LocalMachine][kRunKey].values[kRunValue] = "old";
    for (const char* stored : {"3", "x7"}) {  // a client the list cannot show, or no number
        SCOPED_TRACE(stored);
        Profile("Client", "Default", stored);
        fake.profile.writes.clear();
        data.LoadForDialog();
        EXPECT_EQ(data.SaveFromDialog(0, 1, -1), "");
        // ShutDown was shown as 1 and left so: not written.
        EXPECT_EQ(fake.profile.writes, (std::vector<std::string>{"Main/AutoRun=0"}));
        EXPECT_EQ(Stored("Client", "Default"), stored);
        EXPECT_FALSE(RunValueSet());
    }
    // A later choice is written again.
    EXPECT_EQ(data.SaveFromDialog(0, 1, 2), "");
    EXPECT_EQ(Stored("Client", "Default"), "2");
}

TEST_F(SetupDataTest, SaveFromDialog_ReadOnlyProfile_OneMessageNamingFileRunValueUntouched) {
    for (const int32_t autoRun : {0, 1}) {
        SCOPED_TRACE(autoRun);
        fake.registry.keys[RegRoot::LocalMachine][kRunKey].values[kRunValue] = "old";
        fake.profile.readOnly = true;
        fake.registry.calls.clear();
        data.LoadForDialog();
        EXPECT_EQ(data.SaveFromDialog(autoRun, 1, 0),
                  "The settings could not be saved: the profile\r\nC:\\Apps\\QRTLIRMoni.INI\r\n"
                  "cannot be written (the file or its folder may be read-only). Start with Windows "
                  "was left as it was.");
        EXPECT_TRUE(fake.registry.calls.empty());
        EXPECT_EQ(fake.registry.keys[RegRoot::LocalMachine][kRunKey].values.at(kRunValue), "old");
    }
}

TEST_F(SetupDataTest, SaveFromDialog_MachineRunValueCannotGo_NamesKeyForAdministrator) {
    auto& machine = fake.registry.keys[RegRoot::LocalMachine][kRunKey];
    machine.values[kRunValue] = "C:\\Apps\\QRTLIRMoni.EXE";
    machine.writable = false;
    data.LoadForDialog();
    EXPECT_EQ(data.SaveFromDialog(0, 1, 0),
              "Start with Windows was set for all users, and this account cannot remove that. An "
              "administrator must delete the value \"Quorel TLIRMoni\" under "
              "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run.");
    EXPECT_EQ(Stored("Main", "AutoRun"), "0");
    // Turned on again, the value that stays does what the box says: nothing to tell.
    EXPECT_EQ(data.SaveFromDialog(1, 1, 0), "");
}

// The set-up tools' writers of the same file wait while the dialog writes, so that
// neither loses the other's lines; a failed write still lets the lock go.
TEST_F(SetupDataTest, SaveFromDialog_WrittenOrNot_AllWritesInsideOneProfileLock) {
    for (const bool readOnly : {false, true}) {
        fake.profile.readOnly = readOnly;
        fake.profile.writes.clear();
        fake.profile.lockEvents.clear();
        data.SaveFromDialog(0, 1, 1);
        const std::string n = std::to_string(fake.profile.writes.size());
        EXPECT_EQ(fake.profile.lockEvents,
                  (std::vector<std::string>{std::string("begin ") + kIni + " after 0", "end after " + n}))
            << readOnly;
        EXPECT_FALSE(fake.profile.writes.empty());
    }
}

// Another program (the remote's set-up window) writes while the dialog is open;
// it lets the lock go just as the dialog's OK takes it. Only what the owner
// changed in the dialog is written over it.
struct MeanwhileCase {
    const char* name;
    int32_t autoRun, shutDown, selection;                 // the owner's choice at OK
    const char* theirAutoRun;                            // written meanwhile
    const char* theirShutDown;
    const char* theirDefault;
    const char* storedAutoRun;                           // the file afterwards
    const char* storedShutDown;
    const char* storedDefault;
    bool runValue;
};

TEST_F(SetupDataTest, SaveFromDialog_ChangedMeanwhile_OnlyTheOwnersChangesWritten) {
    // Shown: AutoRun 1, ShutDown 1, Default 0.
    const MeanwhileCase cases[] = {
        {"owner unchecks AutoRun, other picks client 2", 0, 1, 0, "1", "1", "2", "0", "1", "2", false},
        {"owner picks client 1, other clears ShutDown", 1, 1, 1, "1", "0", "0", "1", "0", "1", true},
        {"owner changes nothing, other clears AutoRun", 1, 1, 0, "0", "1", "0", "0", "1", "0", false},
        {"both change ShutDown: the owner's OK is the later", 1, 0, 0, "1", "2", "0", "1", "0", "0", true},
    };
    for (const MeanwhileCase& c : cases) {
        SCOPED_TRACE(c.name);
        Profile("Main", "AutoRun", "1");
        Profile("Main", "ShutDown", "1");
        Profile("Client", "Default", "0");
        fake.profile.onBeginWrites = nullptr;
        data.LoadForDialog();
        fake.profile.onBeginWrites = [&] {
            Profile("Main", "AutoRun", c.theirAutoRun);
            Profile("Main", "ShutDown", c.theirShutDown);
            Profile("Client", "Default", c.theirDefault);
        };
        EXPECT_EQ(data.SaveFromDialog(c.autoRun, c.shutDown, c.selection), "");
        EXPECT_EQ(Stored("Main", "AutoRun"), c.storedAutoRun);
        EXPECT_EQ(Stored("Main", "ShutDown"), c.storedShutDown);
        EXPECT_EQ(Stored("Client", "Default"), c.storedDefault);
        EXPECT_EQ(RunValueSet(), c.runValue);
    }
    fake.profile.onBeginWrites = nullptr;
}

}  // namespace
