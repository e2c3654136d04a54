// The narrow interfaces through which the portable core reaches the operating
// system. The Win32 adapter (platform/win32) implements them with the real
// calls; the native tests implement them with in-memory fakes.
//
// Method names avoid the names of <windows.h> macros (FindWindow, PostMessage,
// MessageBox ...) so that the adapter can include both headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The platform's own BOOL; repeating the same typedef beside <windows.h> is legal.
typedef int BOOL;

namespace qrtl {

// A window of the desktop; 0 is "no window". On 32-bit Windows it holds the HWND.
using WindowHandle = std::uintptr_t;
constexpr WindowHandle kNoWindow = 0;

// The profile (initialisation) file functions.
class IProfile {
public:
    virtual ~IProfile() = default;
    // Text of `key` in `section`: `def` when missing, cut to 255 characters.
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& def, const std::string& path) = 0;
    // Integer of `key` in `section`: `def` when missing.
    virtual int32_t GetInt(const std::string& section, const std::string& key, int32_t def,
                           const std::string& path) = 0;
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& path) = 0;
    // Around a group of writes into the file at `path`: the set-up tools' writers
    // of the same file wait meanwhile, so that neither loses the other's lines.
    // The writes go ahead even when the wait runs out.
    virtual void BeginWrites(const std::string& /*path*/) {}
    virtual void EndWrites() {}
};

// Who may change a file, or the files of a folder (write or append data, add or delete
// files, change its rights or its owner).
enum class FolderWriters {
    AdministratorsOnly,  // Administrators, SYSTEM and TrustedInstaller alone, owner included
    Users,               // anyone else: a group such as Users or INTERACTIVE, a named user,
                         // an owner that is another account, or no list at all (FAT)
    Unreadable,          // the system keeps rights but they could not be read
    NoSecurity,          // the system keeps no rights (Windows 95/98/Me)
    Missing,             // there is no such file or folder
};

// The running program itself.
class IModule {
public:
    virtual ~IModule() = default;
    // Full path of the executable, at most 259 characters.
    virtual std::string FileName() = 0;
    // GetVersionExA with a zeroed record whose size field is `recordSize`;
    // on success stores the record's dwPlatformId.
    virtual bool GetVersion(uint32_t recordSize, uint32_t& platformId) = 0;
    // The folders where programs are installed for every user: Program Files (both on
    // 64-bit Windows), without a trailing backslash. Never the Windows folder: users may
    // write to several of its subfolders (Temp, Tasks, spool\drivers\color). False where
    // the system cannot tell (no SHGetFolderPathA, as on the first Windows 95).
    virtual bool ProtectedFolders(std::vector<std::string>& folders) = 0;
    // Who may change the file or folder at `path`, read from its owner and its access
    // control list. Where there is no such list to read the answer is NoSecurity: the
    // default serves every module that has no security reader.
    virtual FolderWriters WhoMayChange(const std::string& path) {
        (void)path;
        return FolderWriters::NoSecurity;
    }
    // Full path of the card driver library that the program loads at start (beside the
    // executable, else in the system folder); empty when neither holds it.
    virtual std::string DriverLibraryPath() { return std::string(); }
};

constexpr uint32_t kPlatformWin32Windows = 1;  // Windows 95/98/Me
constexpr uint32_t kPlatformWin32Nt = 2;

enum class RegRoot { LocalMachine, CurrentUser };

enum class RegWrite {
    Done,       // the value was written
    NoKey,      // the key could not be opened for writing (missing, or no rights)
    Failed,     // the key opened but the write failed
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // Text data of value `name` in key `path` under HKEY_LOCAL_MACHINE, opened for
    // query only; at most 255 characters. False when the key or the value cannot be
    // read, or the value is not text.
    virtual bool ReadMachineString(const std::string& path, const std::string& name,
                                   std::string& out) = 0;
    // Sets a REG_SZ value in an existing key (never creates the key).
    virtual RegWrite SetString(RegRoot root, const std::string& path, const std::string& name,
                               const std::string& data) = 0;
    // Deletes a value; false when the key cannot be opened or the value is absent.
    virtual bool DeleteValue(RegRoot root, const std::string& path, const std::string& name) = 0;
    // Names of the subkeys of `path` under HKEY_LOCAL_MACHINE, opened for reading;
    // false when the key cannot be opened.
    virtual bool MachineSubKeys(const std::string& path, std::vector<std::string>& names) = 0;
    // The text values (name, data) of `path` under HKEY_LOCAL_MACHINE; values of
    // other types are left out. False when the key cannot be opened.
    virtual bool MachineStringValues(const std::string& path,
                                     std::vector<std::pair<std::string, std::string>>& values) = 0;
};

// The executable-name field of a process snapshot entry, with its terminating zero.
constexpr std::size_t kProcessNameSize = 260;

enum class ProcessName {
    Found,       // the process is running; its name was copied
    NotFound,    // the snapshot does not list it
    NoSnapshot,  // no snapshot could be taken
};

// Enumeration callback: nonzero continues, zero stops.
using WindowEnumProc = BOOL (*)(WindowHandle hWnd, std::intptr_t lParam);

// Windows and processes of the running desktop.
class IDesktop {
public:
    virtual ~IDesktop() = default;
    // FindWindowA; a null pointer matches any class or any caption.
    virtual WindowHandle FindTopWindow(const char* className, const char* caption) = 0;
    // EnumWindows over the top-level windows until `proc` returns zero.
    virtual void EnumTopWindows(WindowEnumProc proc, std::intptr_t lParam) = 0;
    // GetDlgItem(hWnd, id) != NULL
    virtual bool HasChild(WindowHandle hWnd, int32_t id) = 0;
    // GetWindowThreadProcessId
    virtual uint32_t WindowProcessId(WindowHandle hWnd) = 0;
    // GetWindowTextA into a 256-character buffer.
    virtual std::string WindowTitle(WindowHandle hWnd) = 0;
    // Takes a snapshot of the running processes and walks it up to `processId`;
    // copies that entry's executable name as the snapshot reports it (file name on
    // NT, full path on 9x), cut to `size` - 1 characters and zero-terminated. Copies
    // nothing else: the walk costs no memory per process.
    virtual ProcessName FindProcessName(uint32_t processId, char* name, std::size_t size) = 0;
    // Upper-cases `length` characters of `text` in place as the system does for ANSI
    // text (CharUpperBuffA, the system's code page): also letters such as a-umlaut.
    virtual void UpperCase(char* text, std::size_t length) = 0;
    // PostMessageA: 0 when posted, else the system's error number (5, access denied,
    // when the window belongs to a program run at a higher integrity level).
    virtual uint32_t Post(WindowHandle hWnd, uint32_t msg, uint32_t wParam, int32_t lParam) = 0;
};

// The receiver, through the card driver library.
class ICardReader {
public:
    virtual ~ICardReader() = default;
    // QRDiI2CReadByte(device, subAddress, value); returns its result. After Close
    // it does not call into the released library and leaves *value untouched.
    virtual int32_t ReadByte(int32_t device, int32_t subAddress, uint32_t* value) = 0;
    // QRDiI2CClose, then the library is released. Harmless when repeated.
    virtual void Close() = 0;
    // After Close: the library loaded again and QRDiI2CInit called, as at start.
    // False when the card is not ready again (reads then deliver nothing).
    virtual bool Reopen() = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    // The calendar clock in whole seconds.
    virtual int64_t NowSeconds() = 0;
    virtual void SleepMs(uint32_t milliseconds) = 0;
};

// Starts the client application.
class ILauncher {
public:
    virtual ~ILauncher() = default;
    // Starts the executable at `path`, shown; false when nothing was started.
    virtual bool Launch(const std::string& path) = 0;
};

// Asks Windows to end.
class IShutdown {
public:
    virtual ~IShutdown() = default;
    // 9x: EWX_SHUTDOWN | EWX_FORCE. NT: enables SeShutdownPrivilege, then a
    // planned power-off that forces only hung programs. False when Windows was not
    // asked or refused (no token, no privilege, ExitWindowsEx failed).
    virtual bool RequestShutdown(bool win9x) = 0;
};

// The main window's history list box.
class IHistoryList {
public:
    virtual ~IHistoryList() = default;
    // LB_INSERTSTRING at index 0, then LB_SETCURSEL 0.
    virtual void InsertTop(const std::string& text) = 0;
};

// The POWER prompt window (dialog template 105).
class IPromptWindow {
public:
    virtual ~IPromptWindow() = default;
    // Creates the window, shows it topmost without moving it and paints it once.
    virtual void Show() = 0;
    virtual void Destroy() = 0;
};

// Where composed trace lines and the one message box go.
// What became of one trace line sent to the viewer.
enum class TraceDelivery {
    NoViewer,  // no "MsgCapForm" window, or it closed meanwhile
    Answered,  // the viewer took the line within the send's limit
    TimedOut,  // the viewer did not answer within the send's limit
};

class ITraceTransport {
public:
    virtual ~ITraceTransport() = default;
    // Sends the 1024-byte block to the "MsgCapForm" window, if one exists.
    virtual TraceDelivery Deliver(int32_t level, const char* block, std::size_t size) = 0;
    // A millisecond tick count (it may wrap), by which a slow viewer is throttled.
    virtual uint32_t NowMs() { return 0; }
    // MessageBoxA owned by the desktop window, caption "MSB", information icon.
    virtual void ShowBox(const char* text) = 0;
};

// Everything the configuration-and-dispatch object reaches outside itself.
struct Services {
    IProfile* profile = nullptr;
    IModule* module = nullptr;
    IRegistry* registry = nullptr;
    IDesktop* desktop = nullptr;
    ICardReader* card = nullptr;
    IClock* clock = nullptr;
    ILauncher* launcher = nullptr;
    IShutdown* shutdown = nullptr;
    IPromptWindow* prompt = nullptr;
};

// The services of a platform object whose members carry the services' names
// (the real platform, the fakes), with the prompt window given apart.
template <typename PlatformObject>
Services ServicesOf(PlatformObject& p, IPromptWindow* prompt) {
    return Services{&p.profile, &p.module, &p.registry, &p.desktop, &p.card,
                    &p.clock,   &p.launcher, &p.shutdown, prompt};
}

}  // namespace qrtl
