#include "wnd.h"

#include "exception_report.h"
#include "message_box.h"
#include "win_defs.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QThread>
#include <QWindow>

namespace
{

const char* const kCtlIdProperty = "qbCtlId";

} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    EndModalLoop(m_nModalResult);
    m_pReceiver.reset();
    if (m_bOwnsWidget && m_pWidget)
        delete m_pWidget.data();
}

void CWnd::Attach(QWidget* pWidget, bool bOwn)
{
    Detach();
    m_pWidget = pWidget;
    m_bOwnsWidget = bOwn && pWidget;
    if (!pWidget)
        return;
    m_pReceiver = std::make_unique<QObject>();
    PreSubclassWindow();
}

QWidget* CWnd::Detach()
{
    QWidget* pWidget = m_pWidget.data();
    m_pReceiver.reset();
    m_pWidget = nullptr;
    m_bOwnsWidget = false;
    return pWidget;
}

bool CWnd::SubclassDlgItem(int nID, CWnd* pParent)
{
    QWidget* pControl = pParent ? pParent->GetDlgItem(nID) : nullptr;
    if (!pControl)
        return false;
    Attach(pControl, false);
    return true;
}

void CWnd::DestroyWindow()
{
    const bool bOwned = m_bOwnsWidget;
    QWidget* pWidget = Detach();
    if (bOwned && pWidget)
        delete pWidget;
}

void CWnd::SetWindowText(const QString& strText)
{
    QWidget* pWidget = GetSafeHwnd();
    if (!pWidget)
        return;
    if (pWidget->isWindow())
        pWidget->setWindowTitle(strText);
    else if (auto* pLabel = qobject_cast<QLabel*>(pWidget))
        pLabel->setText(strText);
    else if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget))
        pButton->setText(strText);
    else if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget))
        pEdit->setText(strText);
    else if (auto* pGroup = qobject_cast<QGroupBox*>(pWidget))
        pGroup->setTitle(strText);
    else
        pWidget->setWindowTitle(strText);
}

QString CWnd::GetWindowText() const
{
    QWidget* pWidget = GetSafeHwnd();
    if (!pWidget)
        return QString();
    if (pWidget->isWindow())
        return pWidget->windowTitle();
    if (auto* pLabel = qobject_cast<QLabel*>(pWidget))
        return pLabel->text();
    if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget))
        return pButton->text();
    if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget))
        return pEdit->text();
    if (auto* pGroup = qobject_cast<QGroupBox*>(pWidget))
        return pGroup->title();
    return pWidget->windowTitle();
}

bool CWnd::ShowWindow(int nCmdShow)
{
    QWidget* pWidget = GetSafeHwnd();
    if (!pWidget)
        return false;
    const bool bWasVisible = pWidget->isVisible();
    pWidget->setVisible(nCmdShow != SW_HIDE);
    return bWasVisible;
}

bool CWnd::EnableWindow(bool bEnable)
{
    QWidget* pWidget = GetSafeHwnd();
    if (!pWidget)
        return false;
    const bool bWasDisabled = !pWidget->isEnabled();
    pWidget->setEnabled(bEnable);
    return bWasDisabled;
}

bool CWnd::IsWindowEnabled() const
{
    return m_pWidget && m_pWidget->isEnabled();
}

bool CWnd::IsWindowVisible() const
{
    return m_pWidget && m_pWidget->isVisible();
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    QWidget* pWidget = GetSafeHwnd();
    if (!pWidget)
        return;
    if (!pWidget->isWindow()) {
        if (QWidget* pParent = pWidget->parentWidget()) {
            QRect rect = pWidget->geometry();
            rect.moveCenter(pParent->rect().center());
            pWidget->move(rect.topLeft());
        }
        return;
    }
    QWidget* pOwner = pAlternateOwner ? pAlternateOwner->GetSafeHwnd() : pWidget->parentWidget();
    if (pOwner)
        pOwner = pOwner->window();
    QRect area;
    if (pOwner && pOwner->isVisible()) {
        area = pOwner->frameGeometry();
    } else {
        QScreen* pScreen = pWidget->screen() ? pWidget->screen() : QGuiApplication::primaryScreen();
        if (!pScreen)
            return;
        area = pScreen->availableGeometry();
    }
    QRect frame = pWidget->frameGeometry();
    frame.moveCenter(area.center());
    pWidget->move(frame.topLeft());
}

void CWnd::SetRedraw(bool bRedraw)
{
    if (QWidget* pWidget = GetSafeHwnd()) {
        pWidget->setUpdatesEnabled(bRedraw);
        if (bRedraw)
            pWidget->update();
    }
}

void CWnd::UpdateWindow()
{
    QWidget* pWidget = GetSafeHwnd();
    if (!pWidget || !pWidget->isVisible())
        return;
    // A freshly shown window reaches the screen only when the window system
    // exposes it; until then painting goes nowhere.
    QWindow* pWindow = pWidget->window()->windowHandle();
    if (pWindow && !pWindow->isExposed()) {
        QElapsedTimer timer;
        timer.start();
        while (!pWindow->isExposed() && timer.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
            if (!pWindow->isExposed())
                QThread::msleep(2);
        }
    }
    pWidget->repaint();
}

QRect CWnd::GetClientRect() const
{
    QWidget* pWidget = GetSafeHwnd();
    if (!pWidget)
        return QRect();
    auto* pArea = qobject_cast<QAbstractScrollArea*>(pWidget);
    if (!pArea)
        return pWidget->rect();
    // Rows added just now decide whether the scroll bar shows; let the view
    // settle that before measuring, as the list would on insertion.
    if (auto* pView = qobject_cast<QAbstractItemView*>(pArea))
        pView->doItemsLayout();
    const QRect inner = pArea->contentsRect();
    int nWidth = inner.width();
    QScrollBar* pBar = pArea->verticalScrollBar();
    if (pArea->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ||
        (pArea->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded &&
         pBar->maximum() > pBar->minimum()))
        nWidth -= pBar->sizeHint().width();
    return QRect(0, 0, qMax(0, nWidth), inner.height());
}

QWidget* CWnd::GetDlgItem(int nID) const
{
    QWidget* pWidget = GetSafeHwnd();
    if (!pWidget)
        return nullptr;
    for (QObject* pChild : pWidget->children()) {
        auto* pControl = qobject_cast<QWidget*>(pChild);
        if (pControl && pControl->property(kCtlIdProperty).isValid() &&
            GetDlgCtrlID(pControl) == nID)
            return pControl;
    }
    return nullptr;
}

void CWnd::SetDlgItemText(int nID, const QString& strText)
{
    CWnd control;
    if (control.SubclassDlgItem(nID, this))
        control.SetWindowText(strText);
}

QString CWnd::GetDlgItemText(int nID) const
{
    CWnd control;
    if (!control.SubclassDlgItem(nID, const_cast<CWnd*>(this)))
        return QString();
    return control.GetWindowText();
}

int CWnd::MessageBox(const QString& strText, const QString& strCaption, unsigned nType)
{
    return AfxMessageBox(GetSafeHwnd(), strText, strCaption, nType);
}

void CWnd::BeginWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CWnd::EndWaitCursor()
{
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void CWnd::SendCommand(int nID, QWidget* pSource)
{
    AfxCallHandler(GetSafeHwnd(), [&] { OnCommand(nID, pSource); });
}

int CWnd::RunModalLoop()
{
    QWidget* pWidget = GetSafeHwnd();
    if (!m_bContinueModal || !pWidget)
        return m_nModalResult;
    pWidget->show();
    QEventLoop loop;
    m_pModalLoop = &loop;
    // A window torn down under the loop (its parent went away) ends it as a failure.
    QObject::connect(pWidget, &QObject::destroyed, &loop, [this] { EndModalLoop(-1); });
    loop.exec(QEventLoop::DialogExec);
    m_pModalLoop = nullptr;
    return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult)
{
    if (!m_bContinueModal)
        return;
    m_bContinueModal = false;
    m_nModalResult = nResult;
    if (m_pModalLoop)
        m_pModalLoop->exit(0);
}

void CWnd::BeginModalState()
{
    m_bContinueModal = true;
    m_nModalResult = -1;
}

int CWnd::GetDlgCtrlID(const QWidget* pWidget)
{
    return pWidget ? pWidget->property(kCtlIdProperty).toInt() : 0;
}

void CWnd::SetDlgCtrlID(QWidget* pWidget, int nID)
{
    if (pWidget)
        pWidget->setProperty(kCtlIdProperty, nID);
}

bool CWnd::OnCommand(int nID, QWidget* /*pSource*/)
{
    const auto it = m_commandMap.find(nID);
    if (it == m_commandMap.end())
        return false;
    // The handler may remap commands; run a copy.
    const std::function<void()> handler = it->second;
    handler();
    return true;
}

void CWnd::MapCommand(int nID, std::function<void()> handler)
{
    m_commandMap[nID] = std::move(handler);
}

void CWnd::GotoFirstTabStop()
{
    if (!IsWindow())
        return;
    for (QObject* pChild : GetSafeHwnd()->children()) {
        auto* pControl = qobject_cast<QWidget*>(pChild);
        if (pControl && !pControl->isHidden() && pControl->isEnabled() &&
            (pControl->focusPolicy() & Qt::TabFocus)) {
            pControl->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}
