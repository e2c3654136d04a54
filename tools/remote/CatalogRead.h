// Reads a TV application's commands (its menus, resources and controls) on a worker
// thread, so that the set-up window answers while a slow application is asked. The
// result comes back on the window's own thread: the worker posts it to a message
// window of this reader, which hands it to the callback given at Start.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "setup/AppCommands.h"

namespace remote {

struct CatalogResult {
    HWND target = nullptr;
    qrtl::setup::AppCatalog catalog;
    std::string exePath;
};

class CatalogReader {
public:
    using Done = std::function<void(CatalogResult&)>;

    CatalogReader() = default;
    // A read still running ends on its own; its result is dropped.
    ~CatalogReader();
    CatalogReader(const CatalogReader&) = delete;
    CatalogReader& operator=(const CatalogReader&) = delete;

    // Starts reading `target`'s commands; `done` runs on this thread when they are
    // read, unless another Start came first (then only the latest read's result
    // counts). False when no worker could be started (`done` is not called).
    bool Start(HWND target, Done done);
    bool Reading() const { return pending_ != 0; }

private:
    static LRESULT CALLBACK MessageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool EnsureWindow();

    HWND window_ = nullptr;
    unsigned generation_ = 0;
    unsigned pending_ = 0;  // the generation still being read; 0: none
    Done done_;
};

}  // namespace remote
