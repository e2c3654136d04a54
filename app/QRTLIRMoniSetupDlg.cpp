#include "app/QRTLIRMoniSetupDlg.h"

#include <string>

#include "config/ProfileKeys.h"
#include "res/resource.h"

CQRTLIRMoniSetupDlg::CQRTLIRMoniSetupDlg(CQRTLIRSet& set, CDialog& aboutBox)
    : CDialog(res::kDlgSetup), CSetupData(set), m_aboutBox(aboutBox) {}

void CQRTLIRMoniSetupDlg::DoDataExchange(CDataExchange* pDX) {
    const HWND hWndCombo = GetDlgItem(res::kComboDefault);
    if (!pDX->m_bSaveAndValidate) {
        LoadForDialog();
        ::SendMessageA(hWndCombo, CB_RESETCONTENT, 0, 0);
        // The combo box always offers every client's description; list position N
        // is client N, and a missing description is an empty line.
        for (std::size_t i = 0; i < static_cast<std::size_t>(profile::kClientSlots); ++i) {
            const std::string& strDesc =
                i < m_set.m_astrExeDesc.size() ? m_set.m_astrExeDesc[i] : std::string();
            ::SendMessageA(hWndCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strDesc.c_str()));
        }
        ::CheckDlgButton(m_hWnd, res::kCheckAutoRun, static_cast<UINT>(m_bAutoRun));
        ::CheckDlgButton(m_hWnd, res::kCheckShutDown, static_cast<UINT>(m_bShutDown));
        // An index naming no entry leaves the box without a selection.
        ::SendMessageA(hWndCombo, CB_SETCURSEL, static_cast<WPARAM>(m_nDefault), 0);
    } else {
        const int32_t nAutoRun = static_cast<int32_t>(::IsDlgButtonChecked(m_hWnd, res::kCheckAutoRun));
        const int32_t nShutDown =
            static_cast<int32_t>(::IsDlgButtonChecked(m_hWnd, res::kCheckShutDown));
        // CB_ERR (-1) when nothing is selected.
        const int32_t nSelection =
            static_cast<int32_t>(::SendMessageA(hWndCombo, CB_GETCURSEL, 0, 0));
        const std::string strProblem = SaveFromDialog(nAutoRun, nShutDown, nSelection);
        // One box, captioned as the dialog; the dialog closes after it all the same.
        if (!strProblem.empty()) {
            char szCaption[128] = "";
            ::GetWindowTextA(m_hWnd, szCaption, sizeof szCaption);
            ::MessageBoxA(m_hWnd, strProblem.c_str(), szCaption, MB_OK | MB_ICONEXCLAMATION);
        }
    }
}

BOOL CQRTLIRMoniSetupDlg::OnCommand(UINT nID, UINT nCode) {
    if (nID == static_cast<UINT>(res::kBtnAbout) && nCode == BN_CLICKED) {
        OnAbout();
        return TRUE;
    }
    return CDialog::OnCommand(nID, nCode);
}

void CQRTLIRMoniSetupDlg::OnAbout() { m_aboutBox.DoModal(m_hWnd); }
