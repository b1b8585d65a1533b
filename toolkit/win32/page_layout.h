#pragma once

#include "dialog_template.h"

#include <windows.h>

#include <vector>

// How a page's controls follow a page made larger than its template: the
// template's stretchx and stretchy move a control's right or bottom edge with
// the page's, movex and movey the whole control. Never smaller than the template.
class CPageLayout
{
public:
    CPageLayout(HWND hPage, const CDialogTemplate& dialogTemplate);

    // Places the controls for the page's client size cx by cy.
    void Resize(int cx, int cy) const;

private:
    struct Control {
        HWND hWnd;
        RECT rect;
        bool bStretchX, bStretchY, bMoveX, bMoveY;
    };
    SIZE m_baseSize{};
    std::vector<Control> m_controls;
};
