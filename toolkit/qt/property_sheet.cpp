#include "property_sheet.h"

#include "dialog_controls.h"
#include "dialog_template.h"
#include "dialog_window.h"
#include "exception_report.h"
#include "property_page.h"
#include "qt_text.h"
#include "win_defs.h"
#include "wnd_platform.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace
{

QTabWidget* TabsOf(const CPropertySheet& sheet)
{
    return static_cast<QTabWidget*>(FromHandle(sheet.GetTabControl()));
}

} // namespace

CPropertySheet::~CPropertySheet()
{
    // The pages may be gone already (members of a derived sheet); only the
    // sheet's own window is left to destroy.
    EndModalLoop(IDCANCEL);
    DestroyWindow();
}

int CPropertySheet::DoModal()
{
    if (IsWindow() || m_pages.empty())
        return -1;
    BeginModalState();
    if (!CreateSheetWindow()) {
        EndModalLoop(-1);
        return -1;
    }
    AfxCallHandler(GetSafeHwnd(), [this] { OnInitDialog(); });
    // The window opens with the focus in the first page's first control.
    if (CPropertyPage* pPage = GetActivePage())
        pPage->GotoFirstTabStop();
    const int nResult = RunModalLoop();
    AfxCallHandler(GetSafeHwnd(), [this] { OnDestroy(); });
    // The pages' windows go with the sheet's.
    for (CPropertyPage* pPage : m_pages)
        pPage->DestroyWindow();
    DestroyWindow();
    m_hTabs = nullptr;
    m_slots.clear();
    m_nActive = -1;
    return nResult;
}

bool CPropertySheet::OnInitDialog()
{
    int nStart = m_nStartPage;
    if (nStart < 0 || nStart >= GetPageCount())
        nStart = 0;
    {
        const QSignalBlocker blocker(TabsOf(*this));
        TabsOf(*this)->setCurrentIndex(nStart);
    }
    ActivatePage(nStart);
    return true;
}

void CPropertySheet::EndDialog(int nEndID)
{
    EndModalLoop(nEndID);
    if (QWidget* pWidget = WidgetOf(*this))
        pWidget->hide();
}

bool CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return false;
    if (!TabsOf(*this)) {
        m_nStartPage = nPage;
        return true;
    }
    if (TabsOf(*this)->currentIndex() != nPage)
        TabsOf(*this)->setCurrentIndex(nPage);
    else if (m_nActive != nPage)
        OnTabChanged(nPage);
    return m_nActive == nPage;
}

void CPropertySheet::SetDefID(int nID)
{
    AfxCallHandler(GetSafeHwnd(), [this, nID] { OnSetDefId(nID); });
}

HWND CPropertySheet::GetTabControl() const
{
    return IsWindow() ? m_hTabs : nullptr;
}

bool CPropertySheet::OnSetDefId(int nID)
{
    m_nDefID = nID;
    ShowDefaultButton();
    return true;
}

bool CPropertySheet::CreateSheetWindow()
{
    QWidget* pOwner = m_pParentWnd && m_pParentWnd->GetSafeHwnd()
                          ? WidgetOf(*m_pParentWnd)->window()
                          : QApplication::activeWindow();
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_bResizable)
        flags |= Qt::WindowMaximizeButtonHint;
    auto* pWindow = new CDialogWindow(pOwner, flags);
    pWindow->setObjectName(QStringLiteral("propertySheet"));
    pWindow->setWindowTitle(ToQString(m_strCaption));
    pWindow->setFont(CDialogControls::DialogFont());
    pWindow->setWindowModality(Qt::ApplicationModal);
    pWindow->m_onEnter = [this] { OnEnterKey(); };
    pWindow->m_onEscape = [this] {
        SendCommand(IDCANCEL, ToHandle(DlgItemWidget(*this, IDCANCEL)));
    };
    pWindow->m_onClose = [this] {
        QWidget* pCancel = DlgItemWidget(*this, IDCANCEL);
        if (!pCancel || pCancel->isEnabled())
            SendCommand(IDCANCEL, ToHandle(pCancel));
    };

    // Every tab is as large as the largest page template.
    QSize pageSize;
    for (CPropertyPage* pPage : m_pages)
        if (const CDialogTemplate* pTemplate = pPage->GetTemplate())
            pageSize =
                pageSize.expandedTo(CDialogControls::GetPixelSize(*pTemplate, pWindow->font()));

    auto* pTabs = new QTabWidget(pWindow);
    pTabs->setObjectName(QStringLiteral("tabs"));
    m_hTabs = ToHandle(pTabs);
    m_slots.clear();
    for (CPropertyPage* pPage : m_pages) {
        auto* pSlot = new QWidget;
        pSlot->setMinimumSize(pageSize);
        // The page fills its tab, however large the window is made.
        auto* pSlotLayout = new QVBoxLayout(pSlot);
        pSlotLayout->setContentsMargins(0, 0, 0, 0);
        pTabs->addTab(pSlot, ToQString(pPage->GetTitle()));
        m_slots.push_back(ToHandle(pSlot));
    }

    const int nMargin = CDialogControls::MapDialogRect(
                            CRect(0, 0, 7, 7), CDialogControls::GetBaseUnits(pWindow->font()))
                            .width();
    auto* pLayout = new QVBoxLayout(pWindow);
    pLayout->setContentsMargins(nMargin, nMargin, nMargin, nMargin);
    pLayout->setSizeConstraint(m_bResizable ? QLayout::SetMinimumSize : QLayout::SetFixedSize);
    pLayout->addWidget(pTabs);
    auto* pRow = new QHBoxLayout;
    pRow->addStretch(1);
    const struct {
        int nID;
        const char* pszText;
    } buttons[] = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {ID_APPLY_NOW, "&Apply"}};
    for (const auto& button : buttons) {
        auto* pButton = new QPushButton(QString::fromLatin1(button.pszText), pWindow);
        pButton->setObjectName(QStringLiteral("ctl%1").arg(button.nID));
        SetDlgCtrlID(ToHandle(pButton), button.nID);
        pRow->addWidget(pButton);
        if (button.nID == ID_APPLY_NOW)
            pButton->setEnabled(false);
    }
    // A row whose buttons are all hidden is empty and takes no room.
    pLayout->addLayout(pRow);

    Attach(ToHandle(pWindow), true);
    QObject* pReceiver = GetPlatform().pReceiver.get();
    for (const auto& button : buttons) {
        QWidget* pButton = DlgItemWidget(*this, button.nID);
        const int nID = button.nID;
        QObject::connect(static_cast<QPushButton*>(pButton), &QPushButton::clicked, pReceiver,
                         [this, nID, pButton] { SendCommand(nID, ToHandle(pButton)); });
    }
    QObject::connect(pTabs, &QTabWidget::currentChanged, pReceiver, [this](int nIndex) {
        AfxCallHandler(GetSafeHwnd(), [this, nIndex] { OnTabChanged(nIndex); });
    });
    m_nDefID = IDOK;
    m_nActive = -1;
    ShowDefaultButton();
    return true;
}

void CPropertySheet::OnTabChanged(int nIndex)
{
    if (m_bSwitching || nIndex == m_nActive)
        return;
    if (CPropertyPage* pOld = GetActivePage()) {
        bool bLeave = false;
        AfxCallHandler(GetSafeHwnd(), [&] { bLeave = pOld->OnKillActive(); });
        if (!bLeave) {
            // The page refused to be left: show it again.
            m_bSwitching = true;
            TabsOf(*this)->setCurrentIndex(m_nActive);
            m_bSwitching = false;
            return;
        }
    }
    ActivatePage(nIndex);
}

bool CPropertySheet::ActivatePage(int nPage)
{
    CPropertyPage* pPage = GetPage(nPage);
    if (!pPage || !TabsOf(*this))
        return false;
    if (!pPage->IsWindow() && !pPage->CreatePage(m_slots[static_cast<std::size_t>(nPage)]))
        return false;
    m_nActive = nPage;
    bool bActive = false;
    AfxCallHandler(GetSafeHwnd(), [&] { bActive = pPage->OnSetActive(); });
    ShowDefaultButton();
    return bActive;
}

void CPropertySheet::ShowDefaultButton()
{
    QWidget* pControl = nullptr;
    if (CPropertyPage* pPage = GetActivePage())
        pControl = DlgItemWidget(*pPage, m_nDefID);
    if (!pControl)
        pControl = DlgItemWidget(*this, m_nDefID);
    if (auto* pButton = qobject_cast<QPushButton*>(pControl))
        pButton->setDefault(true);
}

void CPropertySheet::OnEnterKey()
{
    CPropertyPage* pPage = GetActivePage();
    QWidget* pControl = pPage ? DlgItemWidget(*pPage, m_nDefID) : nullptr;
    if (pControl) {
        if (pControl->isEnabled())
            pPage->SendCommand(m_nDefID, ToHandle(pControl));
        return;
    }
    pControl = DlgItemWidget(*this, m_nDefID);
    if (pControl && !pControl->isEnabled())
        return;
    SendCommand(m_nDefID, ToHandle(pControl));
}
