// A thin dialog-application framework in the manner of MFC, holding only what
// this program uses: one application object with its start-up hook and message
// pump, dialogs from resource templates (modal and modeless) whose messages reach
// virtual handlers of the C++ object, and an owning image list.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CWinApp;
class CDialog;

// A window object: the handle it is attached to and a few conveniences.
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }

    HWND m_hWnd = nullptr;
};

// Direction of one data exchange between a dialog's members and its controls.
struct CDataExchange {
    BOOL m_bSaveAndValidate;  // TRUE: controls -> members; FALSE: members -> controls
    CDialog* m_pDlgWnd;
};

// A dialog from a resource template. Every message that reaches the dialog
// procedure goes to WindowProc; what it leaves to Default() gets the system's
// default dialog processing.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate);
    // A modeless window that still exists is destroyed with its object.
    ~CDialog() override;

    // Runs the dialog modally. With no parent the owner is the main window's last
    // active popup (the main window itself, or a dialog already open over it).
    INT_PTR DoModal(HWND hWndParent = nullptr);
    // Creates the modeless window. With no parent the main window owns it, unless
    // this is the main window.
    BOOL Create(HWND hWndParent = nullptr);
    BOOL DestroyWindow();
    // Modal: ends the loop with nResult. Modeless: the system only hides the window.
    void EndDialog(int nResult);
    // One data exchange in the given direction. No exchange of this program can
    // fail validation, so there is no result to check.
    void UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message map: returns TRUE when a handler took the message (its result in
    // *pResult), FALSE to leave it to default processing.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // WM_COMMAND: id and notification code (0 for menus and accelerators).
    virtual BOOL OnCommand(UINT nID, UINT nCode);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    // After WM_NCDESTROY; the object is detached from its window by then.
    virtual void PostNcDestroy() {}

    // Leaves the current message to the system's default dialog processing.
    LRESULT Default();

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    bool m_bDefault = false;  // set by Default() for the message being handled
};

// The application object: one per process, built by static initialisation.
class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The start-up hook; FALSE skips the message loop and goes to ExitInstance.
    virtual BOOL InitInstance();
    // After the loop, or after an InitInstance that returned FALSE: the clean-up
    // hook; its result is the process's exit code (by default the quit code).
    virtual int ExitInstance();
    // One pass of the message pump; FALSE when the quit message was taken.
    virtual BOOL PumpMessage();
    // Pre-translation of one message (the main window's dialog keyboard handling).
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // The message loop, entered when InitInstance returns TRUE: pumps until the quit
    // message, then returns ExitInstance's result.
    virtual int Run();

    LPSTR m_lpCmdLine = nullptr;
    // The registered main window; cleared when its window is finally destroyed.
    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The module that holds the program's resources: the one AfxWinMain was given,
// else (a host without WinMain, such as a test program) the executable.
HINSTANCE AfxGetResourceHandle();

// The entry the process starts in: InitInstance of the one application object, then
// its loop (Run) or, when InitInstance declined, ExitInstance.
int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine);

// An image list that destroys its handle with the object.
class CImageList {
public:
    CImageList() = default;
    virtual ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // A strip of cx-wide images from bitmap resource nBitmapID; pixels of crMask are transparent.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL DeleteImageList();
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    int GetImageCount() const;
    // A new icon of image nImage; the caller owns it.
    HICON ExtractImageIcon(int nImage) const;

private:
    HIMAGELIST m_hImageList = nullptr;
};
