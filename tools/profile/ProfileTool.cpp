// QRTLProfile: the profile assistant of the monitor. `check` runs everywhere (a
// profile kept in version control can be checked in a pipeline); `learn` and
// `window` need the card and the desktop, so Windows.
#include "tools/profile/ProfileTool.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "setup/CheckWords.h"
#include "setup/ProfileCheck.h"
#include "setup/ProfileFile.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Config.h"
#include "setup/win32/SystemCheck.h"
#include "tools/common/ToolSupport.h"
#else
#include <unistd.h>
#endif

namespace profiletool {

namespace {

constexpr char kUsage[] =
    "Usage: QRTLProfile COMMAND [options]\n"
    "\n"
    "  check [PROFILE]\n"
    "      Checks a profile of the monitor; one line per finding:\n"
    "      FILE:LINE: error|warning|note: TEXT [ID], then \"N errors, N warnings, N notes\".\n"
    "      Exit status 0: clean (notes only), 1: warnings, 2: errors, 3: cannot be read.\n"
    "  learn [PROFILE] [--keys NAME,NAME...] [--driver PATH] [--timeout SECONDS]\n"
    "      Reads the remote's codes key by key from the card's receiver and writes them\n"
    "      into [KeyMap_Controler]. An empty line skips a key, q ends without writing;\n"
    "      a code another key has is refused, r takes it over. Not while the monitor runs.\n"
    "      Exit status 0: written, 1: ended or nothing learned, 2: failed, 3: bad profile.\n"
    "  window (--pick SECONDS | --title TEXT | --class NAME) [--write N [PROFILE]]\n"
    "      Identifies the TV application's window and prints its client lines\n"
    "      (N_Item, N_Caption, N_ClassName, N_Child0..2; N is that of --write, else 0),\n"
    "      proved with the monitor's own window search; --write stores them as client N\n"
    "      with Default=N, N_Control=1, N_ExeDesc and the launch lines found in HKLM.\n"
    "      Exit status 0: proved, 1: the search finds another window, 2: failed, 3: bad profile.\n"
    "  commands (--pick SECONDS | --title TEXT | --class NAME) [--write N [PROFILE]]\n"
    "      Lists the commands the monitor can post to the TV application (its menus,\n"
    "      controls and keys) and suggests one per remote key: KEY=#ID  ; what it is.\n"
    "      --write puts the suggestions into [KeyMap_<N_Item>] for keys without a command.\n"
    "      Exit status 0: commands found, 1: none, 2: failed, 3: bad profile.\n"
    "\n"
    "PROFILE defaults to " QRTL_PROFILE_NAME " beside QRTLProfile.exe, where the installer puts\n"
    "both. Every write keeps the previous file as PROFILE.bak and never leaves half a\n"
    "profile. Windows only: learn, window, commands, and the check of the client's\n"
    "installation (registry and executable).\n";

#ifdef _WIN32
constexpr char kPathSeparator = '\\';


std::string ProgramFolder() { return tools::ModuleFolder(); }

// True when this program is the only one on its console: Explorer made the console
// for it, and it closes as the program ends.
bool StartedAlone() {
    DWORD processes[2] = {};
    return ::GetConsoleProcessList(processes, 2) == 1;
}
#else
constexpr char kPathSeparator = '/';

std::string ProgramFolder() {
    char path[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    const std::string full(path, static_cast<std::size_t>(n));
    const std::size_t slash = full.find_last_of('/');
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

bool StartedAlone() { return false; }
#endif

int RunCheck(const std::vector<std::string>& args) {
    if (args.size() > 1 || (!args.empty() && args[0].rfind("--", 0) == 0)) {
        Fail("check takes one PROFILE at most; see --help");
        return kExitFailed;
    }
    const std::string path = ProfileOrDefault(args.empty() ? std::string() : args[0]);
    std::string bytes;
    if (!ReadProfileFile(path, bytes)) return kExitUnreadable;

#ifdef _WIN32
    qrtl::win32::Win32Registry registry;
    const qrtl::CheckEnvironment environment = qrtl::win32::SystemCheckEnvironment(registry);
#else
    const qrtl::CheckEnvironment environment;
#endif
    const auto findings = qrtl::CheckProfile(qrtl::ProfileDocument::Parse(bytes), environment);
    for (const auto& finding : findings) Say(qrtl::FormatFinding(path, finding));
    Say(qrtl::FormatSummary(findings));
    return qrtl::CheckExitStatus(findings);
}

}  // namespace

void Fail(const std::string& text) {
    std::fprintf(stderr, "QRTLProfile: %s\n", text.c_str());
    std::fflush(stderr);
}

void Say(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool ReadProfileFile(const std::string& path, std::string& bytes) {
    using qrtl::setup::ProfileRead;
    const qrtl::setup::ProfileReadResult read = qrtl::setup::ReadProfileFile(path, bytes);
    switch (read.status) {
    case ProfileRead::Ok: return true;
    // Name the usual cause plainly: a first run in the wrong folder.
    case ProfileRead::Missing: Fail(path + ": no such profile (the file does not exist)"); break;
    case ProfileRead::CannotOpen: Fail("cannot open " + path + ": " + std::strerror(read.systemError)); break;
    case ProfileRead::CannotRead: Fail("cannot read " + path); break;
    case ProfileRead::Unusable: Fail(path + " " + qrtl::ProfileUnusableWords(read.unusable)); break;
    }
    return false;
}

std::string ProfileOrDefault(const std::string& given) {
    if (!given.empty()) return given;
    const std::string folder = ProgramFolder();
    const std::string path = folder.empty() ? std::string(kDefaultProfile) : folder + kPathSeparator + kDefaultProfile;
    Note("profile " + path + " (beside the program)");
    return path;
}

void Note(const std::string& text) { Fail(text); }

#ifndef _WIN32
int RunLearn(const std::vector<std::string>&) {
    Fail("learn needs Windows and the capture card's driver");
    return kExitFailed;
}
int RunWindow(const std::vector<std::string>&) {
    Fail("window needs the Windows desktop");
    return kExitFailed;
}
int RunCommands(const std::vector<std::string>&) {
    Fail("commands needs the Windows desktop");
    return kExitFailed;
}
#endif

}  // namespace profiletool

int main(int argc, char** argv) {
    using namespace profiletool;
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty()) {
        std::fputs(kUsage, stderr);
        // Double-clicked in Explorer: the console window would close before anyone reads it.
        if (StartedAlone()) {
            std::fputs("\nPress Enter to close this window.\n", stderr);
            std::fflush(stderr);
            std::getchar();
        }
        return kExitFailed;
    }
    const std::string& command = all[0];
    const std::vector<std::string> args(all.begin() + 1, all.end());
    if (command == "--help" || command == "-h" || command == "help" ||
        (args.size() == 1 && args[0] == "--help")) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "check") return RunCheck(args);
    if (command == "learn") return RunLearn(args);
    if (command == "window") return RunWindow(args);
    if (command == "commands") return RunCommands(args);
    Fail("unknown command \"" + command + "\"; see --help");
    return kExitFailed;
}
