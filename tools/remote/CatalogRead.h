// Reads a TV application's commands (its menus, resources and controls) and what
// its window is, on a worker thread, so that the set-up window answers while a slow
// application or a large program file is read. The result comes back on the
// window's own thread: the worker leaves it in a mailbox that this reader and the
// worker share, and posts a bare wake-up to a message window of this reader, which
// hands the result to the callback given at Start. The message carries nothing: a
// message any program may post can make the reader look, never hand it anything.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "config/ProfileReader.h"
#include "setup/AppCommands.h"
#include "setup/ClientLines.h"

namespace remote {

struct CatalogResult {
    HWND target = nullptr;
    qrtl::setup::AppCatalog catalog;
    std::string exePath;
    qrtl::setup::ClientWindowFacts facts;  // with StartExamine only
};

class CatalogReader {
public:
    using Done = std::function<void(CatalogResult&)>;

    CatalogReader() = default;
    // A read still running ends on its own; its result is dropped.
    ~CatalogReader();
    CatalogReader(const CatalogReader&) = delete;
    CatalogReader& operator=(const CatalogReader&) = delete;

    // Reads `target`'s commands; `done` runs on this thread when they are read,
    // unless another Start came first (then only the latest read's result counts).
    // Where no worker can be started the read runs here, and `done` at once.
    void Start(HWND target, Done done);
    // As Start, and what the window is (its program, launch and names) first.
    void StartExamine(HWND target, Done done);
    // The menus of the program file `program`, for an application not running.
    void StartFile(const std::string& program, Done done);
    // The application's commands: of its window `client` when it runs, else of its
    // program file where `document`'s launch lines name it (its menus' names). A read
    // of another application still running no longer counts.
    void StartFor(HWND client, const qrtl::ProfileDocument& document, Done done);
    bool Reading() const { return pending_ != 0; }
    // The program file of an application not running is being read.
    bool ReadingFile() const { return pending_ != 0 && file_; }
    // The read in progress no longer counts: its result is dropped.
    void Cancel() {
        pending_ = 0;
        done_ = nullptr;
    }

    struct Mailbox;

private:
    using Work = std::function<void(CatalogResult&)>;
    void Run(Work work, Done done);
    static LRESULT CALLBACK MessageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool EnsureWindow();
    void Deliver();

    HWND window_ = nullptr;
    std::shared_ptr<Mailbox> mailbox_;
    unsigned generation_ = 0;
    unsigned pending_ = 0;  // the generation still being read; 0: none
    bool file_ = false;     // that read is StartFile's
    Done done_;
};

}  // namespace remote
