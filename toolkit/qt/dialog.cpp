#include "dialog.h"

#include "dialog_controls.h"
#include "dialog_template.h"
#include "dialog_window.h"
#include "exception_report.h"
#include "qt_text.h"
#include "template_layout.h"
#include "win_defs.h"
#include "wnd_platform.h"

#include <QApplication>
#include <QPushButton>

int CDialog::DoModal()
{
    if (IsWindow())
        return -1;
    QWidget* pOwner = m_pParentWnd && m_pParentWnd->GetSafeHwnd()
                          ? FromHandle(m_pParentWnd->GetSafeHwnd())->window()
                          : QApplication::activeWindow();
    BeginModalState();
    if (!CreateDlgWindow(ToHandle(pOwner), false)) {
        EndModalLoop(-1);
        return -1;
    }
    FromHandle(GetSafeHwnd())->setWindowModality(Qt::ApplicationModal);
    bool bFocus = false;
    AfxCallHandler(GetSafeHwnd(), [this, &bFocus] { bFocus = OnInitDialog(); });
    if (bFocus)
        GotoFirstTabStop();
    const int nResult = RunModalLoop();
    DestroyWindow();
    return nResult;
}

bool CDialog::Create(int nIDTemplate, CWnd* pParentWnd)
{
    if (IsWindow())
        return false;
    if (nIDTemplate != 0)
        m_nIDTemplate = nIDTemplate;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    QWidget* pOwner = m_pParentWnd && m_pParentWnd->GetSafeHwnd()
                          ? FromHandle(m_pParentWnd->GetSafeHwnd())->window()
                          : nullptr;
    if (!CreateDlgWindow(ToHandle(pOwner), false))
        return false;
    AfxCallHandler(GetSafeHwnd(), [this] { OnInitDialog(); });
    if (GetTemplate()->HasStyle(u"visible") && IsWindow())
        FromHandle(GetSafeHwnd())->show();
    return IsWindow();
}

void CDialog::EndDialog(int nResult)
{
    EndModalLoop(nResult);
    if (QWidget* pWidget = FromHandle(GetSafeHwnd()); pWidget && pWidget->isWindow())
        pWidget->hide();
}

void CDialog::SetDefID(int nID)
{
    auto* pOld = qobject_cast<QPushButton*>(DlgItemWidget(*this, m_nDefID));
    m_nDefID = nID;
    if (pOld)
        pOld->setDefault(false);
    if (auto* pNew = qobject_cast<QPushButton*>(DlgItemWidget(*this, nID)))
        pNew->setDefault(true);
}

bool CDialog::CreateDlgWindow(HWND hParent, bool bAsChild)
{
    QWidget* pParent = FromHandle(hParent);
    const CDialogTemplate* pTemplate = GetTemplate();
    if (!pTemplate)
        return false;

    QWidget* pWindow = nullptr;
    if (bAsChild) {
        pWindow = new QWidget(pParent);
    } else {
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
        if (pTemplate->HasStyle(u"caption"))
            flags |= Qt::WindowTitleHint;
        else
            flags |= Qt::FramelessWindowHint;
        if (pTemplate->HasStyle(u"sysmenu"))
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        auto* pDialog = new CDialogWindow(pParent, flags);
        pDialog->m_bThinBorder = pTemplate->HasStyle(u"border") && !pTemplate->HasStyle(u"caption");
        pDialog->m_onEnter = [this] { OnEnterKey(); };
        pDialog->m_onEscape = [this] { OnEscapeKey(); };
        pDialog->m_onClose = [this] { OnCloseBox(); };
        pWindow = pDialog;
    }
    pWindow->setObjectName(QStringLiteral("dialog%1").arg(pTemplate->m_nID));
    pWindow->setFont(CDialogControls::DialogFont());
    pWindow->setWindowTitle(ToQString(pTemplate->m_strCaption));
    const QSize size = CDialogControls::GetPixelSize(*pTemplate, pWindow->font());
    CDialogControls::Create(*pTemplate, pWindow);
    if (bAsChild) {
        // A page is as large as its sheet lets it be, and never smaller than
        // its template.
        auto* pLayout = new CTemplateLayout(pWindow, size);
        int nIndex = 0;
        for (const CDialogTemplate::Item& item : pTemplate->m_items) {
            const QString strName = CDialogControls::ControlName(item.nID, nIndex++);
            if (auto* pControl = pWindow->findChild<QWidget*>(strName, Qt::FindDirectChildrenOnly))
                pLayout->AddControl(pControl, item);
        }
        pWindow->resize(size);
    } else {
        pWindow->setFixedSize(size);
    }

    m_nDefID = IDOK;
    for (const CDialogTemplate::Item& item : pTemplate->m_items)
        if (item.strKind == u"button" && item.HasStyle(u"default"))
            m_nDefID = item.nID;

    Attach(ToHandle(pWindow), true);
    for (QObject* pChild : pWindow->children()) {
        auto* pButton = qobject_cast<QPushButton*>(pChild);
        const int nID = GetDlgCtrlID(ToHandle(pButton));
        if (!pButton || nID == -1 || nID == 0)
            continue;
        QObject::connect(pButton, &QPushButton::clicked, GetPlatform().pReceiver.get(),
                         [this, nID, pButton] { SendCommand(nID, ToHandle(pButton)); });
    }
    return true;
}
