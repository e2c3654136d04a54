// The search for the client's target window: by class and caption, else by its
// three child controls, and in either case accepted only by its process's name.
#include <cstring>
#include <string>

#include "config/QRTLIRSet.h"
#include "dispatch/Dispatch.h"
#include "trace/Trace.h"

namespace {

// The ids the trace viewer shows after the file's name: fixed numbers that readers
// of old traces know; they are no source lines.
constexpr int32_t kTraceIdFoundAtProcessName = 44;
constexpr int32_t kTraceIdFindWindowByProfile = 342;
constexpr int32_t kTraceIdEnumWindowFound = 379;
constexpr int32_t kTraceIdSearchStart = 390;
constexpr int32_t kTraceIdHWndClient = 396;
constexpr int32_t kTraceIdTargetWindow = 411;
constexpr int32_t kTraceIdReturnNull = 416;

constexpr std::size_t kExeNameBuffer = 256;

// Window handles are traced as their 32-bit value, as on the 32-bit platform.
unsigned HandleBits(qrtl::WindowHandle hWnd) {
    return static_cast<unsigned>(static_cast<uint32_t>(hWnd));
}

}  // namespace

BOOL FoundAtProcessName(qrtl::IDesktop& desktop, qrtl::WindowHandle hWnd, char* pszExeName) {
    // The entry's whole name, which can be longer than the caller's buffer.
    char szEntryName[qrtl::kProcessNameSize] = {};
    switch (desktop.FindProcessName(desktop.WindowProcessId(hWnd), szEntryName,
                                    sizeof(szEntryName))) {
    case qrtl::ProcessName::NoSnapshot:
        TraceBox("CreateTooHelp32Snapshot failed !!");
        return 0;
    case qrtl::ProcessName::NotFound:
        return 0;
    case qrtl::ProcessName::Found:
        break;
    }
    // Longer names than the buffer holds are cut to its 255 characters.
    const std::size_t length = std::strlen(szEntryName);
    const std::size_t n = length < kExeNameBuffer - 1 ? length : kExeNameBuffer - 1;
    std::memcpy(pszExeName, szEntryName, n);
    pszExeName[n] = '\0';
    TraceOut(kTraceSearch, kTraceFileSet, kTraceIdFoundAtProcessName, "FoundAtProcessName : %s, %s",
             pszExeName, szEntryName);
    return 1;
}

BOOL EnumClientWindowProc(qrtl::WindowHandle hWnd, std::intptr_t lParam) {
    auto* set = reinterpret_cast<CQRTLIRSet*>(lParam);
    if (set == nullptr) return 0;
    qrtl::IDesktop& desktop = *set->Services().desktop;

    // The client's window is recognised by its layout: all three child controls.
    if (!desktop.HasChild(hWnd, set->m_nChild0)) return 1;
    if (!desktop.HasChild(hWnd, set->m_nChild1)) return 1;
    if (!desktop.HasChild(hWnd, set->m_nChild2)) return 1;

    set->m_hWndClient = hWnd;
    TraceOut(kTraceSearch, kTraceFileSet, kTraceIdEnumWindowFound, "EnumWindow Found : %08X",
             HandleBits(hWnd));
    return 0;
}

qrtl::WindowHandle CQRTLIRSet::FindWindowByProfile() {
    qrtl::WindowHandle hWnd = qrtl::kNoWindow;
    const bool bCaption = !m_strCaption.empty();
    const bool bClass = !m_strClassName.empty();
    // An empty text is a wildcard for FindWindowA; with both empty any window would match.
    if (bCaption || bClass) {
        hWnd = m_services.desktop->FindTopWindow(bClass ? m_strClassName.c_str() : nullptr,
                                                 bCaption ? m_strCaption.c_str() : nullptr);
    }
    TraceOut(kTraceFlow, kTraceFileSet, kTraceIdFindWindowByProfile, "%s, %s, %08X",
             m_strClassName.c_str(), m_strCaption.c_str(), HandleBits(hWnd));
    return hWnd;
}

qrtl::WindowHandle CQRTLIRSet::FindTargetClientWindow() {
    TraceOut(kTraceSearch, kTraceFileSet, kTraceIdSearchStart, "%s", m_strItem.c_str());

    m_hWndClient = FindWindowByProfile();
    // The enumeration only when the first strategy found nothing at all; a window it
    // found that fails the process test below ends the search.
    if (m_hWndClient == qrtl::kNoWindow) {
        m_services.desktop->EnumTopWindows(EnumClientWindowProc, reinterpret_cast<std::intptr_t>(this));
    }

    TraceOut(kTraceSearch, kTraceFileSet, kTraceIdHWndClient, "m_hWndClient : %08X",
             HandleBits(m_hWndClient));

    char szExeName[kExeNameBuffer] = {};
    if (m_hWndClient != qrtl::kNoWindow &&
        FoundAtProcessName(*m_services.desktop, m_hWndClient, szExeName)) {
        // Upper-cased as the system does it; the item is compared as written, so
        // only an upper-case item can match.
        char szUpper[kExeNameBuffer];
        const std::size_t length = std::strlen(szExeName);
        std::memcpy(szUpper, szExeName, length + 1);
        m_services.desktop->UpperCase(szUpper, length);
        if (std::strstr(szUpper, m_strItem.c_str()) != nullptr) {
            const std::string strTitle = m_services.desktop->WindowTitle(m_hWndClient);
            TraceOut(kTraceSearch, kTraceFileSet, kTraceIdTargetWindow, "Target Window : %s",
                     strTitle.c_str());
            return m_hWndClient;
        }
    }

    TraceOut(kTraceSearch, kTraceFileSet, kTraceIdReturnNull, "FindTargetClientWindow Return NULL");
    return qrtl::kNoWindow;
}
