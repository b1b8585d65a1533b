#pragma once

#include "wnd.h"

#include <cstdint>
#include <vector>

#include "rect.h"
#include "text.h"

#ifndef _WIN32
// One button as AddButtons takes it (on Windows, the system's own).
struct TBBUTTON {
    int iBitmap;
    int idCommand;
    unsigned char fsState;
    unsigned char fsStyle;
    std::uintptr_t dwData;
    std::intptr_t iString;
};
#endif

// A row of image buttons. A click becomes a command with the button's id,
// sent to the owner with the toolbar's window as its source.
class CToolBarCtrl : public CWnd
{
public:
    CToolBarCtrl() = default;
    ~CToolBarCtrl() override;

    // Creates the toolbar as a child of pParent with control id nID. Styles:
    // WS_VISIBLE shows it, TBSTYLE_TOOLTIPS asks OnNeedToolTipText for the
    // tooltips, TBSTYLE_FLAT draws flat buttons, CCS_BOTTOM puts it at the
    // bottom of its parent. False when there is no parent.
    bool Create(unsigned dwStyle, const CRect& rect, CWnd* pParentWnd, int nID);
    // Adds the first nNumButtons cells (16 by 15) of bitmap resource nBitmapID,
    // its button-face grey shown as the button. Returns the index of the first
    // image added, -1 when the bitmap is missing or too small.
    int AddBitmap(int nNumButtons, int nBitmapID);
    bool AddButtons(int nNumButtons, const TBBUTTON* pButtons);
    // Fits the toolbar to its parent's width, at the parent's top or bottom.
    void AutoSize();
    // The window that receives the clicks (TB_SETPARENT); null for none.
    void SetOwner(CWnd* pOwner);
    bool EnableButton(int nID, bool bEnable = true);
    bool IsButtonEnabled(int nID) const;
    int GetButtonCount() const;
    // The button with command id nID, named "button<id>", where the platform
    // makes each button a window of its own; otherwise null.
    HWND GetButton(int nID) const;

    static constexpr CSize kImageSize{16, 15};
    static constexpr CSize kButtonSize{23, 22};

protected:
    // TTN_NEEDTEXT: the tooltip of button nID, asked for when the tooltip is
    // about to show. Base: none.
    virtual CString OnNeedToolTipText(int nID);

private:
    friend class ToolTipFilter;
    bool ShowToolTip(HWND hButton, const CPoint& screenPos);

    unsigned m_dwStyle = 0;
    CWnd* m_pOwner = nullptr;
    // The images: cells of bitmap resources.
    struct ImageCell {
        int nBitmapID;
        int nCell;
    };
    std::vector<ImageCell> m_images;
    std::vector<HWND> m_buttons;
};
