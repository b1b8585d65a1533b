#include "page_layout.h"

#include <algorithm>

CPageLayout::CPageLayout(HWND hPage, const CDialogTemplate& dialogTemplate)
{
    RECT rcPage{0, 0, dialogTemplate.m_size.cx, dialogTemplate.m_size.cy};
    MapDialogRect(hPage, &rcPage);
    m_baseSize = {rcPage.right, rcPage.bottom};
    for (const CDialogTemplate::Item& item : dialogTemplate.m_items) {
        Control control{nullptr,
                        {},
                        item.HasStyle(u"stretchx"),
                        item.HasStyle(u"stretchy"),
                        item.HasStyle(u"movex"),
                        item.HasStyle(u"movey")};
        if (item.nID == -1 ||
            !(control.bStretchX || control.bStretchY || control.bMoveX || control.bMoveY))
            continue;
        control.hWnd = GetDlgItem(hPage, item.nID);
        if (!control.hWnd)
            continue;
        // From the template, so that a combo box keeps the height of its
        // dropped list, which its window does not show. Position and size are
        // mapped apart, as the dialog manager maps them.
        RECT rcUnits{item.rect.left, item.rect.top, item.rect.Width(), item.rect.Height()};
        MapDialogRect(hPage, &rcUnits);
        control.rect = {rcUnits.left, rcUnits.top, rcUnits.left + rcUnits.right,
                        rcUnits.top + rcUnits.bottom};
        m_controls.push_back(control);
    }
}

void CPageLayout::Resize(int cx, int cy) const
{
    const int dx = std::max(0, cx - static_cast<int>(m_baseSize.cx));
    const int dy = std::max(0, cy - static_cast<int>(m_baseSize.cy));
    for (const Control& control : m_controls) {
        if (!IsWindow(control.hWnd))
            continue;
        RECT rc = control.rect;
        if (control.bMoveX)
            OffsetRect(&rc, dx, 0);
        else if (control.bStretchX)
            rc.right += dx;
        if (control.bMoveY)
            OffsetRect(&rc, 0, dy);
        else if (control.bStretchY)
            rc.bottom += dy;
        SetWindowPos(control.hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
