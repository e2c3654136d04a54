#include "config/SetupData.h"

#include <string>

#include "trace/Trace.h"

namespace {

// A check box shows the states 0 to 2; anything else is shown unchecked.
constexpr int32_t kMaxCheckState = 2;

// Trace ids of the setup dialog: fixed numbers that readers of old traces know;
// they are no source lines.
constexpr int32_t kTraceIdRead = 98;
constexpr int32_t kTraceIdReadAutoRun = 105;
constexpr int32_t kTraceIdReadShutDown = 106;
constexpr int32_t kTraceIdWrite = 112;
constexpr int32_t kTraceIdWriteAutoRun = 128;
constexpr int32_t kTraceIdWriteShutDown = 129;

int32_t CheckState(int32_t value) { return (value < 0 || value > kMaxCheckState) ? 0 : value; }

bool Write(qrtl::IProfile& profile, const profile::Key& key, int32_t value, const std::string& path) {
    return profile.WriteString(key.section, key.name, std::to_string(value), path);
}

}  // namespace

CSetupData::CSetupData(CQRTLIRSet& set) : m_set(set) {}

void CSetupData::UpdateRegistry(BOOL bRead) {
    qrtl::IProfile& profile = *m_set.Services().profile;
    const std::string& path = m_set.m_strIniPath;

    if (bRead) {
        TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdRead,
                 "CQRTLIRMoniSetupDlg::UpdateRegistry Read");
        m_bAutoRun = profile::ReadInt(profile, profile::kAutoRun, path);
        m_bShutDown = profile::ReadInt(profile, profile::kShutDown, path);
        TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdReadAutoRun, "AutoRun  : %d",
                 static_cast<int>(m_bAutoRun));
        TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdReadShutDown, "ShutDown : %d",
                 static_cast<int>(m_bShutDown));
        m_nDefault = profile::ReadInt(profile, profile::kDefaultClient, path);
        m_bKeepDefault = false;
        m_shown = {true, m_bAutoRun, m_bShutDown, m_nDefault};
        return;
    }

    WriteSettings();
}

std::string CSetupData::WriteSettings() {
    qrtl::IProfile& profile = *m_set.Services().profile;
    const std::string& path = m_set.m_strIniPath;
    TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdWrite, "CQRTLIRMoniSetupDlg::UpdateRegistry Write");
    // The first write that fails ends the writing, before the Run value changes.
    profile.BeginWrites(path);
    // A setting the owner left as shown takes the file's value now. AutoRun is
    // written all the same, as the file holds it: the Run value follows it, and its
    // write shows the profile writable before the registry is touched.
    bool bWriteShutDown = true;
    if (m_shown.valid) {
        bWriteShutDown = m_bShutDown != m_shown.shutDown;
        m_bKeepDefault = m_bKeepDefault || m_nDefault == m_shown.defaultClient;
        if (m_bAutoRun == m_shown.autoRun) m_bAutoRun = profile::ReadInt(profile, profile::kAutoRun, path);
        if (!bWriteShutDown) m_bShutDown = profile::ReadInt(profile, profile::kShutDown, path);
        if (m_bKeepDefault) m_nDefault = profile::ReadInt(profile, profile::kDefaultClient, path);
    }
    bool bWritten = Write(profile, profile::kAutoRun, m_bAutoRun, path);
    CQRTLIRSet::AutoRun autoRun = CQRTLIRSet::AutoRun::Done;
    if (bWritten) autoRun = m_set.SetAutoRun(m_bAutoRun != 0);
    bWritten = bWritten && (!bWriteShutDown || Write(profile, profile::kShutDown, m_bShutDown, path));
    if (!m_bKeepDefault) bWritten = bWritten && Write(profile, profile::kDefaultClient, m_nDefault, path);
    // What the file holds now is what a second OK compares with.
    if (bWritten) m_shown = {true, m_bAutoRun, m_bShutDown, m_nDefault};
    profile.EndWrites();
    TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdWriteAutoRun, "AutoRun  : %d",
             static_cast<int>(m_bAutoRun));
    TraceOut(kTraceFlow, kTraceFileSetupDlg, kTraceIdWriteShutDown, "ShutDown : %d",
             static_cast<int>(m_bShutDown));

    if (!bWritten)
        return "The settings could not be saved: the profile\r\n" + path +
               "\r\ncannot be written (the file or its folder may be read-only). Start with "
               "Windows was left as it was.";
    if (autoRun == CQRTLIRSet::AutoRun::MachineValueStays && m_bAutoRun == 0)
        return CQRTLIRSet::MachineRunValueStaysText();
    return std::string();
}

void CSetupData::LoadForDialog() {
    UpdateRegistry(1);
    m_bAutoRun = CheckState(m_bAutoRun);
    m_bShutDown = CheckState(m_bShutDown);
}

std::string CSetupData::SaveFromDialog(int32_t autoRunChecked, int32_t shutDownChecked,
                                       int32_t selection) {
    m_bAutoRun = autoRunChecked;
    m_bShutDown = shutDownChecked;
    m_bKeepDefault = selection < 0;
    if (!m_bKeepDefault) m_nDefault = selection;
    return WriteSettings();
}
