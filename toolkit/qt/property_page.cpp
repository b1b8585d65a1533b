#include "property_page.h"

#include "exception_report.h"
#include "qt_text.h"

#include <QLayout>

bool CPropertyPage::CreatePage(HWND hSlot)
{
    if (!CreateDlgWindow(hSlot, true))
        return false;
    m_bFirstSetActive = true;
    QWidget* pSlot = FromHandle(hSlot);
    QWidget* pWindow = FromHandle(GetSafeHwnd());
    if (QLayout* pSlotLayout = pSlot->layout()) {
        pSlotLayout->addWidget(pWindow);
        // A page made after the window has been sized starts at its tab's
        // size, so that what it measures in its initialisation is what the
        // user sees.
        if (pSlot->isVisible()) {
            pSlotLayout->activate();
            pWindow->layout()->activate();
        }
    }
    pWindow->show();
    AfxCallHandler(GetSafeHwnd(), [this] { OnInitDialog(); });
    return true;
}
