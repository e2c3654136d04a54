#include "app/HistoryList.h"

void CHistoryListBox::InsertTop(const std::string& text) {
    // Results ignored: a full or missing list only loses the history line.
    ::SendMessageA(m_hWndList, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(m_hWndList, LB_SETCURSEL, 0, 0);
}
