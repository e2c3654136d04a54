// The main window's history list box as the dispatch sees it.
#pragma once

#include <windows.h>

#include "platform/Platform.h"

class CHistoryListBox : public qrtl::IHistoryList {
public:
    explicit CHistoryListBox(HWND hWndList) : m_hWndList(hWndList) {}
    // The newest entry on top, selected.
    void InsertTop(const std::string& text) override;

private:
    HWND m_hWndList;
};
