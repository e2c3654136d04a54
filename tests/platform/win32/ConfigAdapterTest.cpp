// The configuration adapter against real profile files and registry keys.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/QRTLIRSet.h"
#include "platform/win32/Handle.h"
#include "platform/win32/ModulePath.h"
#include "platform/win32/Win32Config.h"

namespace {

using qrtl::RegRoot;
using qrtl::RegWrite;
using qrtl::win32::UniqueHKey;

constexpr const char kTestKey[] = "Software\\QRTLIRMoniTest";
constexpr const char kMissingKey[] = "Software\\QRTLIRMoniTest\\Missing";

// A folder of its own under the temp folder, removed with its files afterwards.
class TempFolder {
public:
    TempFolder() {
        char temp[MAX_PATH] = {};
        const DWORD n = ::GetTempPathA(MAX_PATH, temp);
        if (n == 0 || n >= MAX_PATH) return;
        path_ = std::string(temp) + "QRTLIRMoniConfigTest" + std::to_string(::GetCurrentProcessId());
        if (!::CreateDirectoryA(path_.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            path_.clear();
    }
    ~TempFolder() {
        for (const auto& f : files_) ::DeleteFileA(f.c_str());
        if (!path_.empty()) ::RemoveDirectoryA(path_.c_str());
    }
    bool ok() const { return !path_.empty(); }
    std::string File(const std::string& name) {
        files_.push_back(path_ + "\\" + name);
        return files_.back();
    }
    // Writes `text` byte for byte; the caller spells the line ends.
    std::string Write(const std::string& name, const std::string& text) {
        const std::string file = File(name);
        FILE* f = std::fopen(file.c_str(), "wb");
        if (f == nullptr) return std::string();
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        return file;
    }

private:
    std::string path_;
    std::vector<std::string> files_;
};

// --- Profile file -----------------------------------------------------------

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!temp.ok()) GTEST_SKIP() << "no temp folder";
        ini = temp.Write("prog.INI",
                         "[Main]\r\n"
                         "Timer=250\r\n"
                         "ShowMainWindow=1\r\n"
                         "AutoRun=\r\n"
                         "[client]\r\n"
                         "DEFAULT=-1\r\n"
                         "-1_Item=NEG\r\n"
                         "0_Caption=" + std::string(300, 'c') + "\r\n"
                         "1_caption=My TV\r\n"
                         "[KeyMap_Controler]\r\n"
                         "POWER=12\r\n"
                         "BTN0=12\r\n"
                         "VOL+=05\r\n");
        ASSERT_FALSE(ini.empty());
    }
    TempFolder temp;
    std::string ini;
    qrtl::win32::Win32Profile profile;
};

TEST_F(ProfileFileTest, GetString_CrlfFileOtherCase_ValueWithoutLineEnd) {
    EXPECT_EQ(profile.GetString("Client", "-1_Item", "", ini), "NEG");
    EXPECT_EQ(profile.GetString("CLIENT", "1_CAPTION", "", ini), "My TV");
    EXPECT_EQ(profile.GetString("keymap_controler", "vol+", "", ini), "05");
}

TEST_F(ProfileFileTest, GetString_300Characters_CutTo255) {
    EXPECT_EQ(profile.GetString("Client", "0_Caption", "", ini), std::string(255, 'c'));
    EXPECT_EQ(ReadProfileString(profile, "Client", "0_Caption", ini), std::string(255, 'c'));
}

TEST_F(ProfileFileTest, MissingKeyOrFile_Defaults) {
    const std::string missing = temp.File("absent.INI");
    EXPECT_EQ(profile.GetString("Client", "0_Item", "", missing), "");
    EXPECT_EQ(profile.GetString("Client", "0_Item", "dflt", ini), "dflt");
    EXPECT_EQ(profile.GetInt("Main", "Timer", 3000, missing), 3000);
    // An empty value counts as missing.
    EXPECT_EQ(profile.GetInt("Main", "AutoRun", 1, ini), 1);
    EXPECT_EQ(profile.GetInt("Main", "AutoRun", -7, ini), -7);
    EXPECT_EQ(profile.GetString("Main", "AutoRun", "dflt", ini), "");
}

TEST_F(ProfileFileTest, GetInt_NegativeAndOtherCase_SignedValue) {
    EXPECT_EQ(profile.GetInt("Client", "Default", 0, ini), -1);
    EXPECT_EQ(profile.GetInt("MAIN", "timer", 3000, ini), 250);
}

TEST_F(ProfileFileTest, WriteString_ThenRead_RoundTrips) {
    ASSERT_TRUE(profile.WriteString("Client", "Default", "-1", ini));
    ASSERT_TRUE(profile.WriteString("Main", "AutoRun", "0", ini));
    EXPECT_EQ(profile.GetInt("Client", "Default", 0, ini), -1);
    EXPECT_EQ(profile.GetInt("Main", "AutoRun", 1, ini), 0);
    // A new file is created by the first write.
    const std::string fresh = temp.File("fresh.INI");
    ASSERT_TRUE(profile.WriteString("Main", "ShutDown", "1", fresh));
    EXPECT_EQ(profile.GetInt("Main", "ShutDown", 0, fresh), 1);
}

TEST_F(ProfileFileTest, LoadProfile_RealFile_SignedClientAndKeyMaps) {
    // A module whose file name points at the temp profile.
    class TempModule : public qrtl::IModule {
    public:
        std::string exe;
        std::string FileName() override { return exe; }
        bool GetVersion(uint32_t, uint32_t&) override { return false; }
        bool ProtectedFolders(std::vector<std::string>&) override { return false; }
    } module;
    module.exe = ini.substr(0, ini.size() - 3) + "exe";
    qrtl::Services services;
    services.profile = &profile;
    services.module = &module;
    CQRTLIRSet set;
    set.SetServices(services);
    set.LoadProfile();
    EXPECT_EQ(set.m_strIniPath, ini);
    EXPECT_EQ(set.m_nDefaultClient, -1);
    EXPECT_EQ(set.m_strItem, "NEG");
    EXPECT_EQ(set.m_nTimer, 250);
    EXPECT_EQ(set.m_bShowMainWindow, 1);
    EXPECT_EQ(set.m_mapController.at("12"), "BTN0");
    EXPECT_EQ(set.m_mapController.at("05"), "VOL+");
    EXPECT_EQ(set.m_mapController.at(""), "BTN100");
    EXPECT_EQ(set.m_mapClient.size(), 27u);
    EXPECT_EQ(set.m_bWin9x, 1);  // both version calls refused
}

// --- Module -----------------------------------------------------------------

TEST(ModuleTest, FileName_TerminatedFullPathOfThisProgram) {
    qrtl::win32::Win32Module module;
    const std::string name = module.FileName();
    char expected[1024] = {};
    ASSERT_NE(::GetModuleFileNameA(nullptr, expected, sizeof expected), 0u);
    EXPECT_EQ(name, expected);
    EXPECT_EQ(std::strlen(name.c_str()), name.size());
    EXPECT_LE(name.size(), 259u);
    ASSERT_GT(name.size(), 4u);
    EXPECT_EQ(::lstrcmpiA(name.substr(name.size() - 4).c_str(), ".exe"), 0);
}

TEST(ModuleTest, LoadProfile_ThisProgram_IniBesideExecutable) {
    qrtl::win32::Win32Profile profile;
    qrtl::win32::Win32Module module;
    qrtl::Services services;
    services.profile = &profile;
    services.module = &module;
    CQRTLIRSet set;
    set.SetServices(services);
    set.LoadProfile();
    const std::string exe = module.FileName();
    EXPECT_EQ(set.m_strIniPath, exe.substr(0, exe.size() - 3) + "INI");
    EXPECT_EQ(set.m_bWin9x, 0);  // Wine reports an NT-family system
}

TEST(ModuleTest, GetVersion_RecordSizes_OnlyTheTwoRecordsAccepted) {
    qrtl::win32::Win32Module module;
    uint32_t id = 0;
    EXPECT_TRUE(module.GetVersion(156, id));
    EXPECT_EQ(id, qrtl::kPlatformWin32Nt);
    id = 0;
    EXPECT_TRUE(module.GetVersion(148, id));
    EXPECT_EQ(id, qrtl::kPlatformWin32Nt);
    id = 77;
    EXPECT_FALSE(module.GetVersion(0, id));
    EXPECT_FALSE(module.GetVersion(100, id));
    EXPECT_FALSE(module.GetVersion(4096, id));  // larger than the record itself
    EXPECT_EQ(id, 77u);
}

// The Windows folder is no place that only administrators may change (its Temp,
// Tasks and spool folders take users' files): never a reason for every user's autorun.
TEST(ModuleTest, ProtectedFolders_ProgramFilesButNeverTheWindowsFolder) {
    qrtl::win32::Win32Module module;
    std::vector<std::string> folders;
    ASSERT_TRUE(module.ProtectedFolders(folders));
    char windows[MAX_PATH] = {};
    ASSERT_GT(::GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    char programFiles[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableA("ProgramFiles", programFiles, MAX_PATH), 0u);
    bool hasProgramFiles = false;
    for (const std::string& folder : folders) {
        EXPECT_NE(::lstrcmpiA(folder.c_str(), windows), 0) << folder;
        hasProgramFiles = hasProgramFiles || ::lstrcmpiA(folder.c_str(), programFiles) == 0;
    }
    EXPECT_TRUE(hasProgramFiles);
}

// A path named outside the code page is spelled through its folder's short name, the
// file's own name kept where it fits, so that the ANSI calls open the very file.
TEST(ModulePathTest, AnsiPathOf_NamesInAndOutsideCodePage_SpellingThatOpensTheFile) {
    TempFolder temp;
    ASSERT_TRUE(temp.ok());
    const std::string base = temp.File("");
    std::wstring wideBase(base.begin(), base.end());  // the temp path is ASCII here
    const bool latin1 = ::GetACP() == 1252;
    const struct {
        const wchar_t* folder;
        const wchar_t* file;
        bool create;
        const char* expectEnd;  // null: any ASCII spelling; "": none
    } cases[] = {
        {L"plain", L"QRTLIRMoni.INI", true, "plain\\QRTLIRMoni.INI"},
        {L"\x6d4b\x8bd5", L"QRTLIRMoni.INI", true, "\\QRTLIRMoni.INI"},
        {L"\x6d4b\x8bd5", L"\x6587\x4ef6.ini", true, nullptr},
        {L"\x5931", L"QRTLIRMoni.INI", false, ""},
        {L"M\x00e4rz", L"QRTLIRMoni.INI", true, latin1 ? "M\xe4rz\\QRTLIRMoni.INI" : nullptr},
    };
    for (const auto& c : cases) {
        const std::wstring folder = wideBase + c.folder;
        const std::wstring file = folder + L"\\" + c.file;
        if (c.create) {
            ::CreateDirectoryW(folder.c_str(), nullptr);
            qrtl::win32::UniqueFile made(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                       FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(made);
            DWORD written = 0;
            ASSERT_TRUE(::WriteFile(made.get(), "[Main]\r\nTimer=123\r\n", 21, &written, nullptr));
        }
        const std::string ansi = qrtl::win32::AnsiPathOf(file);
        bool plain = true;
        for (const char ch : ansi) plain = plain && static_cast<unsigned char>(ch) < 0x80;
        if (c.expectEnd != nullptr && *c.expectEnd == '\0') {
            EXPECT_EQ(ansi, "");
        } else {
            ASSERT_FALSE(ansi.empty());
            if (c.expectEnd != nullptr) {
                const std::string end = c.expectEnd;
                ASSERT_GE(ansi.size(), end.size());
                EXPECT_EQ(ansi.substr(ansi.size() - end.size()), end);
            } else {
                EXPECT_TRUE(plain) << ansi;
            }
            EXPECT_EQ(::GetPrivateProfileIntA("Main", "Timer", 0, ansi.c_str()), 123u) << ansi;
        }
        if (c.create) {
            ::DeleteFileW(file.c_str());
            ::RemoveDirectoryW(folder.c_str());
        }
    }
}

// A well-known group by its authority and sub-authorities, freed with the holder.
struct GroupSid {
    GroupSid(BYTE authority, DWORD first, DWORD second = 0, BYTE count = 1) {
        SID_IDENTIFIER_AUTHORITY id = {{0, 0, 0, 0, 0, authority}};
        ::AllocateAndInitializeSid(&id, count, first, second, 0, 0, 0, 0, 0, 0, &sid);
    }
    ~GroupSid() { if (sid) ::FreeSid(sid); }
    PSID sid = nullptr;
};

// TrustedInstaller, S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464.
struct TrustedInstallerSid {
    TrustedInstallerSid() {
        SID_IDENTIFIER_AUTHORITY nt = {{0, 0, 0, 0, 0, 5}};
        ::AllocateAndInitializeSid(&nt, 6, 80, 956008885u, 3418522649u, 1831038044u, 1853292631u,
                                   2271478464u, 0, 0, &sid);
    }
    ~TrustedInstallerSid() { if (sid) ::FreeSid(sid); }
    PSID sid = nullptr;
};

TEST(ModuleTest, WritersInDacl_Entries_UsersOnlyForTheirChangeRights) {
    GroupSid everyone(1, 0);                                   // S-1-1-0
    GroupSid authenticated(5, 11);                             // S-1-5-11
    GroupSid users(5, 32, 545, 2);                             // S-1-5-32-545
    GroupSid admins(5, 32, 544, 2);                            // S-1-5-32-544
    GroupSid interactive(5, 4);                                // S-1-5-4
    GroupSid namedUser(5, 21, 1000, 2);                        // an account of its own
    GroupSid system(5, 18);                                    // S-1-5-18
    TrustedInstallerSid trustedInstaller;
    GroupSid creatorOwner(3, 0);                               // S-1-3-0
    using W = qrtl::FolderWriters;
    constexpr DWORD kReadExecute = 0x1200A9;
    const struct {
        const char* name;
        PSID sid;
        DWORD mask;
        BYTE flags;
        W expected;
    } cases[] = {
        {"users read and run", users.sid, kReadExecute, 0, W::AdministratorsOnly},
        {"administrators everything", admins.sid, GENERIC_ALL, 0, W::AdministratorsOnly},
        {"users add files", users.sid, FILE_ADD_FILE, 0, W::Users},
        {"users add folders", users.sid, FILE_ADD_SUBDIRECTORY, 0, W::Users},
        {"everyone writes", everyone.sid, GENERIC_WRITE, 0, W::Users},
        {"authenticated users delete", authenticated.sid, DELETE, 0, W::Users},
        {"users delete children", users.sid, FILE_DELETE_CHILD, 0, W::Users},
        {"users change the rights", users.sid, WRITE_DAC, 0, W::Users},
        {"users take ownership", users.sid, WRITE_OWNER, 0, W::Users},
        {"inherited by new files only", users.sid, GENERIC_ALL, INHERIT_ONLY_ACE | OBJECT_INHERIT_ACE,
         W::AdministratorsOnly},
        {"inherited and here", users.sid, FILE_ADD_FILE, OBJECT_INHERIT_ACE, W::Users},
        {"interactive users add files", interactive.sid, FILE_ADD_FILE, 0, W::Users},
        {"a named user writes", namedUser.sid, FILE_WRITE_DATA, 0, W::Users},
        {"system everything", system.sid, GENERIC_ALL, 0, W::AdministratorsOnly},
        {"trusted installer everything", trustedInstaller.sid, GENERIC_ALL, 0, W::AdministratorsOnly},
        {"creator owner, for new files", creatorOwner.sid, GENERIC_ALL, 0, W::AdministratorsOnly},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.sid, nullptr);
        DWORD buffer[256] = {};
        ACL* acl = reinterpret_cast<ACL*>(buffer);
        ASSERT_TRUE(::InitializeAcl(acl, sizeof buffer, ACL_REVISION));
        ASSERT_TRUE(::AddAccessAllowedAce(acl, ACL_REVISION, kReadExecute, admins.sid));
        ASSERT_TRUE(::AddAccessAllowedAceEx(acl, ACL_REVISION, c.flags, c.mask, c.sid));
        EXPECT_EQ(qrtl::win32::WritersInDacl(acl), c.expected);
    }

    // No list grants everyone everything; a list that claims more entries than it holds
    // is not read past its end.
    EXPECT_EQ(qrtl::win32::WritersInDacl(nullptr), W::Users);
    DWORD buffer[64] = {};
    ACL* acl = reinterpret_cast<ACL*>(buffer);
    ASSERT_TRUE(::InitializeAcl(acl, sizeof buffer, ACL_REVISION));
    EXPECT_EQ(qrtl::win32::WritersInDacl(acl), W::AdministratorsOnly);
    ASSERT_TRUE(::AddAccessAllowedAce(acl, ACL_REVISION, kReadExecute, admins.sid));
    acl->AceCount = 2;
    acl->AclSize = static_cast<WORD>(sizeof(ACL) + 8 + ::GetLengthSid(admins.sid));
    EXPECT_EQ(qrtl::win32::WritersInDacl(acl), W::Unreadable);
}

// The owner may always rewrite the list: any owner but the three trusted accounts is
// one more who may change the file.
TEST(ModuleTest, WritersOf_Owner_UsersUnlessAdministratorsSystemOrTrustedInstaller) {
    GroupSid admins(5, 32, 544, 2);
    GroupSid system(5, 18);
    TrustedInstallerSid trustedInstaller;
    GroupSid namedUser(5, 21, 1000, 2);
    GroupSid users(5, 32, 545, 2);
    GroupSid creatorOwner(3, 0);
    using W = qrtl::FolderWriters;
    DWORD buffer[64] = {};
    ACL* closed = reinterpret_cast<ACL*>(buffer);
    ASSERT_TRUE(::InitializeAcl(closed, sizeof buffer, ACL_REVISION));
    ASSERT_TRUE(::AddAccessAllowedAce(closed, ACL_REVISION, GENERIC_ALL, admins.sid));
    const struct {
        const char* name;
        PSID owner;
        W expected;
    } cases[] = {
        {"administrators", admins.sid, W::AdministratorsOnly},
        {"system", system.sid, W::AdministratorsOnly},
        {"trusted installer", trustedInstaller.sid, W::AdministratorsOnly},
        {"a named user", namedUser.sid, W::Users},
        {"the users group", users.sid, W::Users},
        {"creator owner", creatorOwner.sid, W::Users},
        {"none", nullptr, W::Unreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t length = c.owner ? ::GetLengthSid(c.owner) : 0;
        EXPECT_EQ(qrtl::win32::WritersOf(c.owner, length, closed), c.expected);
    }
    // An owner cut short is not read past the bytes given.
    EXPECT_EQ(qrtl::win32::WritersOf(admins.sid, ::GetLengthSid(admins.sid) - 1, closed), W::Unreadable);
    // A trusted owner still leaves the list to decide.
    EXPECT_EQ(qrtl::win32::WritersOf(admins.sid, ::GetLengthSid(admins.sid), nullptr), W::Users);
}

// Read from a real folder: a folder whose rights let everyone write answers Users.
TEST(ModuleTest, WhoMayChange_FolderEveryoneMayWrite_Users) {
    TempFolder temp;
    ASSERT_TRUE(temp.ok());
    const std::string folder = temp.File("open");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    GroupSid everyone(1, 0);
    DWORD buffer[64] = {};
    ACL* acl = reinterpret_cast<ACL*>(buffer);
    ASSERT_TRUE(::InitializeAcl(acl, sizeof buffer, ACL_REVISION));
    ASSERT_TRUE(::AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, everyone.sid));
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE));
    const bool set = ::SetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, &descriptor) != FALSE;
    qrtl::win32::Win32Module module;
    const qrtl::FolderWriters writers = module.WhoMayChange(folder);
    ::RemoveDirectoryA(folder.c_str());
    if (!set) GTEST_SKIP() << "this file system keeps no rights";
    EXPECT_EQ(writers, qrtl::FolderWriters::Users);
    EXPECT_EQ(module.WhoMayChange(folder + "\\absent"), qrtl::FolderWriters::Missing);
}

// --- Registry ---------------------------------------------------------------

void DeleteTestKeys() {
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestKey);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTestKeys();
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, machine.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, user.put(), nullptr),
                  ERROR_SUCCESS);
        ::SetEnvironmentVariableA("QRTL_TEST_DIR", "C:\\tv");
        Text("Folder", REG_SZ, "C:\\Program Files\\Viewer");
        Text("Trailing", REG_SZ, "C:\\Viewer\\");
        Text("Expand", REG_EXPAND_SZ, "%QRTL_TEST_DIR%\\bin");
        ::SetEnvironmentVariableA("QRTL_TEST_LONG", std::string(200, 'e').c_str());
        Text("ExpandLong", REG_EXPAND_SZ, "%QRTL_TEST_LONG%%QRTL_TEST_LONG%");
        Text("Long", REG_SZ, std::string(300, 'l'));
        Text("Exact255", REG_SZ, std::string(255, 'x'));
        Text("Empty", REG_SZ, "");
        const DWORD five = 5;
        ASSERT_EQ(::RegSetValueExA(machine.get(), "Dword", 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&five), sizeof five),
                  ERROR_SUCCESS);
        // Stored without its terminating zero, which the registry allows.
        const char bare[] = "C:\\Bare";
        ASSERT_EQ(::RegSetValueExA(machine.get(), "NoZero", 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(bare), sizeof bare - 1),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        machine.reset();
        user.reset();
        DeleteTestKeys();
        ::SetEnvironmentVariableA("QRTL_TEST_DIR", nullptr);
        ::SetEnvironmentVariableA("QRTL_TEST_LONG", nullptr);
    }
    void Text(const char* name, DWORD type, const std::string& data) {
        ASSERT_EQ(::RegSetValueExA(machine.get(), name, 0, type,
                                   reinterpret_cast<const BYTE*>(data.c_str()),
                                   static_cast<DWORD>(data.size() + 1)),
                  ERROR_SUCCESS);
    }
    // The raw value as stored, for checking what the adapter wrote.
    static bool Raw(HKEY root, const char* name, DWORD& type, std::string& bytes) {
        UniqueHKey key;
        if (::RegOpenKeyExA(root, kTestKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
            return false;
        char buffer[1024];
        DWORD size = sizeof buffer;
        if (::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                               &size) != ERROR_SUCCESS)
            return false;
        bytes.assign(buffer, size);
        return true;
    }
    std::string Read(const char* name, const char* path = kTestKey) {
        std::string out = "<untouched>";
        return registry.ReadMachineString(path, name, out) ? out : "<false>";
    }

    UniqueHKey machine;
    UniqueHKey user;
    qrtl::win32::Win32Registry registry;
};

TEST_F(RegistryTest, ReadMachineString_TextValues_ReadAsStored) {
    EXPECT_EQ(Read("Folder"), "C:\\Program Files\\Viewer");
    EXPECT_EQ(Read("Trailing"), "C:\\Viewer\\");
    EXPECT_EQ(Read("Empty"), "");
    EXPECT_EQ(Read("NoZero"), "C:\\Bare");
    EXPECT_EQ(Read("Exact255"), std::string(255, 'x'));
}

TEST_F(RegistryTest, ReadMachineString_ExpandString_Expanded) {
    EXPECT_EQ(Read("Expand"), "C:\\tv\\bin");
    EXPECT_EQ(Read("ExpandLong"), "<false>");  // fits stored, not expanded
}

TEST_F(RegistryTest, ReadMachineString_Unreadable_False) {
    EXPECT_EQ(Read("Absent"), "<false>");
    EXPECT_EQ(Read("Folder", kMissingKey), "<false>");
    EXPECT_EQ(Read("Dword"), "<false>");
    EXPECT_EQ(Read("Long"), "<false>");
}

TEST_F(RegistryTest, GetClientExePath_RealProfileAndKeys_FolderBackslashExe) {
    TempFolder temp;
    if (!temp.ok()) GTEST_SKIP() << "no temp folder";
    const std::string ini = temp.Write("client.INI",
                                       "[Client]\r\n"
                                       "0_RegPath=Software\\QRTLIRMoniTest\r\n"
                                       "0_RegFolder=Trailing\r\n"
                                       "0_ExeName=viewer.exe\r\n"
                                       "1_RegPath=Software\\QRTLIRMoniTest\r\n"
                                       "1_RegFolder=Folder\r\n"
                                       "1_ExeName=viewer.exe\r\n"
                                       "2_RegPath=Software\\QRTLIRMoniTest\r\n"
                                       "2_RegFolder=Dword\r\n"
                                       "2_ExeName=viewer.exe\r\n"
                                       "3_RegPath=Software\\QRTLIRMoniTest\\Missing\r\n"
                                       "3_RegFolder=Folder\r\n"
                                       "3_ExeName=viewer.exe\r\n"
                                       "4_RegPath=Software\\QRTLIRMoniTest\r\n"
                                       "4_RegFolder=Long\r\n"
                                       "4_ExeName=viewer.exe\r\n");
    qrtl::win32::Win32Profile profile;
    qrtl::Services services;
    services.profile = &profile;
    services.registry = &registry;
    CQRTLIRSet set;
    set.SetServices(services);
    set.m_strIniPath = ini;
    EXPECT_EQ(set.GetClientExePath(0), "C:\\Viewer\\\\viewer.exe");
    EXPECT_EQ(set.GetClientExePath(1), "C:\\Program Files\\Viewer\\viewer.exe");
    EXPECT_EQ(set.GetClientExePath(2), "");
    EXPECT_EQ(set.GetClientExePath(3), "");
    EXPECT_EQ(set.GetClientExePath(4), "");
    EXPECT_EQ(set.GetClientExePath(5), "");  // no keys in the profile
}

TEST_F(RegistryTest, SetString_BothRoots_RegSzWithTerminatingZero) {
    for (const auto& [root, hkey] : {std::make_pair(RegRoot::LocalMachine, HKEY_LOCAL_MACHINE),
                                     std::make_pair(RegRoot::CurrentUser, HKEY_CURRENT_USER)}) {
        const std::string data = "\"C:\\A B\\Q.EXE\"";
        EXPECT_EQ(registry.SetString(root, kTestKey, "Quorel TLIRMoni", data), RegWrite::Done);
        DWORD type = REG_NONE;
        std::string bytes;
        ASSERT_TRUE(Raw(hkey, "Quorel TLIRMoni", type, bytes));
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(bytes, data + '\0');
    }
}

TEST_F(RegistryTest, SetString_MissingKey_NoKeyAndNotCreated) {
    EXPECT_EQ(registry.SetString(RegRoot::LocalMachine, kMissingKey, "v", "d"), RegWrite::NoKey);
    UniqueHKey probe;
    EXPECT_NE(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMissingKey, 0, KEY_QUERY_VALUE, probe.put()),
              ERROR_SUCCESS);
}

TEST_F(RegistryTest, DeleteValue_PresentThenAbsent_TrueThenFalse) {
    ASSERT_EQ(registry.SetString(RegRoot::CurrentUser, kTestKey, "Quorel TLIRMoni", "x"),
              RegWrite::Done);
    EXPECT_TRUE(registry.DeleteValue(RegRoot::CurrentUser, kTestKey, "Quorel TLIRMoni"));
    DWORD type = REG_NONE;
    std::string bytes;
    EXPECT_FALSE(Raw(HKEY_CURRENT_USER, "Quorel TLIRMoni", type, bytes));
    EXPECT_FALSE(registry.DeleteValue(RegRoot::CurrentUser, kTestKey, "Quorel TLIRMoni"));
    EXPECT_FALSE(registry.DeleteValue(RegRoot::LocalMachine, kMissingKey, "Folder"));
    EXPECT_TRUE(registry.DeleteValue(RegRoot::LocalMachine, kTestKey, "Folder"));
    EXPECT_EQ(Read("Folder"), "<false>");
}

}  // namespace
