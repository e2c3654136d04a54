// The program's value under the Windows Run key.
#include "config/QRTLIRSet.h"
#include "product.h"
#include "trace/Trace.h"

namespace {

using product::kRunKey;
using product::kRunValue;
constexpr const char kExeExtension[] = "EXE";
// The path is built in a 260-byte buffer.
constexpr std::size_t kMaxPath = 259;

// Trace ids of the autorun write, beside the setup dialog's own: fixed numbers
// that readers of old traces know; they are no source lines.
constexpr int32_t kTraceIdWroteMachine = 140;
constexpr int32_t kTraceIdWroteUser = 141;
constexpr int32_t kTraceIdNotWritten = 142;
constexpr int32_t kTraceIdMachineValueStays = 143;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The module's path with the text after its last dot replaced by "EXE", so the
// extension is always stored in capitals.
std::string RunCommandPath(const std::string& moduleFileName) {
    std::string path = moduleFileName;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        path += '.';
    else
        path.resize(dot + 1);
    path += kExeExtension;
    if (path.size() > kMaxPath) path.resize(kMaxPath);
    // Unquoted, a path with blanks could be taken for a shorter program plus arguments.
    if (path.find(' ') != std::string::npos) path = "\"" + path + "\"";
    return path;
}

// The length of `folder` without its trailing separators.
std::size_t TrimmedLength(const std::string& folder) {
    std::size_t length = folder.size();
    while (length > 0 && IsSeparator(folder[length - 1])) --length;
    return length;
}

// Whether only administrators may change what `writers` describes. A file that is
// not there is as safe as its folder, which is asked as well; a folder must exist.
bool AdministratorsAlone(qrtl::FolderWriters writers, bool isFile) {
    switch (writers) {
    case qrtl::FolderWriters::AdministratorsOnly:
    case qrtl::FolderWriters::NoSecurity:
        return true;
    case qrtl::FolderWriters::Missing:
        return isFile;
    case qrtl::FolderWriters::Users:
    case qrtl::FolderWriters::Unreadable:
        break;
    }
    return false;
}

// The folders from the one holding `exe` up to `top` itself; empty when a step
// leaves `top` (the caller has made sure `exe` lies inside it).
std::vector<std::string> FoldersUpTo(const std::string& exe, const std::string& top) {
    const std::size_t topLength = TrimmedLength(top);
    std::vector<std::string> folders;
    std::string folder = exe;
    for (;;) {
        const std::size_t cut = folder.find_last_of("\\/");
        if (cut == std::string::npos) return {};
        folder.resize(TrimmedLength(folder.substr(0, cut)));
        if (folder.size() < topLength) return {};
        folders.push_back(folder);
        if (folder.size() == topLength) return folders;
    }
}

// The machine's key starts the executable at every user's logon, in every user's
// session, so only administrators may change what that start runs: the executable,
// the driver library it loads, the profile whose launch lines POWER starts, and
// every folder from the executable's up to Program Files (anyone who can drop a
// library or another executable there runs code in every session). Where the system
// keeps no rights (Windows 95/98/Me) the place alone decides; where it keeps them but
// they cannot be read, the user's key.
bool StartsForEveryUser(qrtl::IModule& module) {
    std::vector<std::string> protectedFolders;
    if (!module.ProtectedFolders(protectedFolders)) return true;
    const std::string exe = module.FileName();
    for (const std::string& programFiles : protectedFolders) {
        if (!IsInsideFolder(exe, programFiles)) continue;
        const std::vector<std::string> folders = FoldersUpTo(exe, programFiles);
        if (folders.empty()) return false;
        // A library found nowhere would come from a folder on the search path, which
        // users may well write to.
        const std::string driver = module.DriverLibraryPath();
        if (driver.empty()) return false;
        for (const std::string& file : {exe, driver, ProfilePathOf(exe)})
            if (!AdministratorsAlone(module.WhoMayChange(file), true)) return false;
        for (const std::string& folder : folders)
            if (!AdministratorsAlone(module.WhoMayChange(folder), false)) return false;
        return true;
    }
    return false;
}

}  // namespace

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    const std::size_t length = TrimmedLength(folder);
    if (length == 0 || path.size() <= length + 1 || !IsSeparator(path[length])) return false;
    for (std::size_t i = 0; i < length; ++i) {
        const bool bothSeparators = IsSeparator(path[i]) && IsSeparator(folder[i]);
        if (!bothSeparators && LowerAscii(path[i]) != LowerAscii(folder[i])) return false;
    }
    return true;
}

std::string CQRTLIRSet::MachineRunValueStaysText() {
    return std::string("Start with Windows was set for all users, and this account cannot remove "
                       "that. An administrator must delete the value \"") +
           kRunValue + "\" under HKEY_LOCAL_MACHINE\\" + kRunKey + ".";
}

// Removes the value from the machine's key; false when it is there and stays.
bool CQRTLIRSet::RemoveMachineRunValue() {
    qrtl::IRegistry& registry = *m_services.registry;
    if (registry.DeleteValue(qrtl::RegRoot::LocalMachine, kRunKey, kRunValue)) return true;
    std::string current;
    if (!registry.ReadMachineString(kRunKey, kRunValue, current)) return true;  // not there
    TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdMachineValueStays, "SetAutoRun : HKLM stays : %s",
             current.c_str());
    return false;
}

// Whether the machine's key already starts the program at `data`.
bool CQRTLIRSet::MachineRunValueIs(const std::string& data) {
    std::string current;
    return m_services.registry->ReadMachineString(kRunKey, kRunValue, current) && current == data;
}

CQRTLIRSet::AutoRun CQRTLIRSet::WriteUserRunValue(const std::string& data) {
    if (m_services.registry->SetString(qrtl::RegRoot::CurrentUser, kRunKey, kRunValue, data) ==
        qrtl::RegWrite::Done) {
        TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdWroteUser, "SetAutoRun : HKCU : %s",
                 data.c_str());
        return AutoRun::Done;
    }
    TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdNotWritten, "SetAutoRun : not written : %s",
             data.c_str());
    return AutoRun::NotWritten;
}

CQRTLIRSet::AutoRun CQRTLIRSet::SetAutoRun(BOOL bSet) {
    qrtl::IRegistry& registry = *m_services.registry;

    if (!bSet) {
        // Either key may hold it, depending on the rights the value was written with.
        const bool machineGone = RemoveMachineRunValue();
        registry.DeleteValue(qrtl::RegRoot::CurrentUser, kRunKey, kRunValue);
        return machineGone ? AutoRun::Done : AutoRun::MachineValueStays;
    }

    const std::string data = RunCommandPath(m_services.module->FileName());
    if (!StartsForEveryUser(*m_services.module)) {
        // The user's own key only; an earlier value for every user goes when it may. One
        // that stays and already starts this very path is left alone: a second entry
        // would start the monitor twice.
        if (!RemoveMachineRunValue() && MachineRunValueIs(data)) return AutoRun::MachineValueStays;
        return WriteUserRunValue(data);
    }

    const qrtl::RegWrite machine =
        registry.SetString(qrtl::RegRoot::LocalMachine, kRunKey, kRunValue, data);
    if (machine == qrtl::RegWrite::Done) {
        // A copy left in the user's key by an earlier run without rights would start a
        // second monitor at logon, and every key would reach the client twice.
        registry.DeleteValue(qrtl::RegRoot::CurrentUser, kRunKey, kRunValue);
        TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdWroteMachine, "SetAutoRun : HKLM : %s",
                 data.c_str());
        return AutoRun::Done;
    }
    if (machine == qrtl::RegWrite::NoKey) {
        // Already registered for every user (say by an elevated "SetAuto"): a second
        // entry in the user's key would start the monitor twice.
        if (MachineRunValueIs(data)) {
            TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdWroteMachine, "SetAutoRun : HKLM : %s",
                     data.c_str());
            return AutoRun::Done;
        }
        // A standard user cannot open the machine's Run key; the user's own one still starts us.
        return WriteUserRunValue(data);
    }
    TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdNotWritten, "SetAutoRun : not written : %s",
             data.c_str());
    return AutoRun::NotWritten;
}
