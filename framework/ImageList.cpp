// An owning image list.
#include "framework/Afx.h"

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
    DeleteImageList();
    m_hImageList = ::ImageList_LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nBitmapID), cx,
                                          nGrow, crMask, IMAGE_BITMAP, 0);
    return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList() {
    if (m_hImageList == nullptr) return FALSE;
    const BOOL bDone = ::ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return bDone;
}

int CImageList::GetImageCount() const {
    return m_hImageList != nullptr ? ::ImageList_GetImageCount(m_hImageList) : 0;
}

HICON CImageList::ExtractImageIcon(int nImage) const {
    if (m_hImageList == nullptr) return nullptr;
    return ::ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL);
}
