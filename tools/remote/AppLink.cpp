#include "AppLink.h"

#include <utility>

#include "WindowList.h"
#include "resource.h"

namespace remote {

namespace {

constexpr UINT kRoundTripMs = 1000;

}  // namespace

void AppLink::Take(HWND target, const Examined& examined) {
    target = target ? ::GetAncestor(target, GA_ROOT) : nullptr;
    if (target == nullptr || !::IsWindow(target))
        return view_.Live("That window is gone: choose the TV application's window again.");
    if (OwnWindow(target)) return view_.Live("That is this set-up window: choose the TV application's window.");
    const std::string words = WindowWords(target);
    view_.Live("Examining " + words + " ...");
    ::UpdateWindow(::GetDlgItem(dlg_, res::kLive));
    reader_.StartExamine(target, [this, target, words, examined](CatalogResult& read) {
        // A window that went away meanwhile leaves facts of nobody. One round trip
        // first, so that a window closing on its own thread has done so (a hung one
        // costs a second here).
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kRoundTripMs, &ignored);
        examined(session_.WindowExamined(std::move(read.facts), std::move(read.catalog), ::IsWindow(target) != FALSE),
                 words);
    });
    if (reader_.Reading()) view_.Live("Examining " + words + ": reading its menus and controls ...");
}

void AppLink::ReadCommands(const std::function<void()>& read) {
    reader_.StartFor(FindClient(session_.EditedAsActive()), session_.Profile().Document(),
                     [this, read](CatalogResult& result) {
                         session_.CommandsRead(std::move(result.catalog));
                         read();
                     });
}

}  // namespace remote
