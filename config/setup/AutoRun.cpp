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

// Trace lines of the autorun write, beside the setup dialog's own lines.
constexpr int32_t kLineWroteMachine = 140;
constexpr int32_t kLineWroteUser = 141;
constexpr int32_t kLineNotWritten = 142;

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

}  // namespace

void CQRTLIRSet::SetAutoRun(BOOL bSet) {
    qrtl::IRegistry& registry = *m_services.registry;

    if (!bSet) {
        // Either key may hold it, depending on the rights the value was written with.
        registry.DeleteValue(qrtl::RegRoot::LocalMachine, kRunKey, kRunValue);
        registry.DeleteValue(qrtl::RegRoot::CurrentUser, kRunKey, kRunValue);
        return;
    }

    const std::string data = RunCommandPath(m_services.module->FileName());
    const qrtl::RegWrite machine =
        registry.SetString(qrtl::RegRoot::LocalMachine, kRunKey, kRunValue, data);
    if (machine == qrtl::RegWrite::Done) {
        // A copy left in the user's key by an earlier run without rights would start a
        // second monitor at logon, and every key would reach the client twice.
        registry.DeleteValue(qrtl::RegRoot::CurrentUser, kRunKey, kRunValue);
        TraceOut(kTraceFlow, kTraceFileSetupDlg, kLineWroteMachine, "SetAutoRun : HKLM : %s",
                 data.c_str());
        return;
    }
    if (machine == qrtl::RegWrite::NoKey) {
        // Already registered for every user (say by an elevated "SetAuto"): a second
        // entry in the user's key would start the monitor twice.
        std::string current;
        if (registry.ReadMachineString(kRunKey, kRunValue, current) && current == data) {
            TraceOut(kTraceFlow, kTraceFileSetupDlg, kLineWroteMachine, "SetAutoRun : HKLM : %s",
                     data.c_str());
            return;
        }
        // A standard user cannot open the machine's Run key; the user's own one still starts us.
        if (registry.SetString(qrtl::RegRoot::CurrentUser, kRunKey, kRunValue, data) ==
            qrtl::RegWrite::Done) {
            TraceOut(kTraceFlow, kTraceFileSetupDlg, kLineWroteUser, "SetAutoRun : HKCU : %s",
                     data.c_str());
            return;
        }
    }
    TraceOut(kTraceFlow, kTraceFileSetupDlg, kLineNotWritten, "SetAutoRun : not written : %s",
             data.c_str());
}
