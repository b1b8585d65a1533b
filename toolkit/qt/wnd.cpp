#include "wnd.h"

#include "event_hook.h"
#include "exception_report.h"
#include "qt_text.h"
#include "win_defs.h"
#include "wnd_platform.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QThread>
#include <QWindow>

namespace
{

const char* const kCtlIdProperty = "qbCtlId";

// The virtual key of a key event: letters and digits by their upper-case
// ASCII code, the rest by the table; 0 for a key the program never asks for.
unsigned VirtualKeyOf(const QKeyEvent* pKey)
{
    const int nKey = pKey->key();
    if ((nKey >= Qt::Key_A && nKey <= Qt::Key_Z) || (nKey >= Qt::Key_0 && nKey <= Qt::Key_9))
        return static_cast<unsigned>(nKey);
    static const struct {
        int nQtKey;
        unsigned nVirtKey;
    } s_keys[] = {
        {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},       {Qt::Key_Return, VK_RETURN},
        {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Space, VK_SPACE},
        {Qt::Key_PageUp, VK_PRIOR},   {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_End, VK_END},
        {Qt::Key_Home, VK_HOME},      {Qt::Key_Left, VK_LEFT},     {Qt::Key_Up, VK_UP},
        {Qt::Key_Right, VK_RIGHT},    {Qt::Key_Down, VK_DOWN},     {Qt::Key_Delete, VK_DELETE},
        {Qt::Key_F1, VK_F1},          {Qt::Key_F3, VK_F3},         {Qt::Key_F5, VK_F5},
        {Qt::Key_F6, VK_F6},          {Qt::Key_Plus, VK_OEM_PLUS}, {Qt::Key_Equal, VK_OEM_PLUS},
        {Qt::Key_Minus, VK_OEM_MINUS}};
    for (const auto& key : s_keys)
        if (key.nQtKey == nKey)
            return (pKey->modifiers() & Qt::KeypadModifier) && key.nVirtKey == VK_OEM_PLUS ? VK_ADD
                   : (pKey->modifiers() & Qt::KeypadModifier) && key.nVirtKey == VK_OEM_MINUS
                       ? VK_SUBTRACT
                       : key.nVirtKey;
    return 0;
}

unsigned ModifiersOf(const QKeyEvent* pKey)
{
    unsigned nModifiers = 0;
    if (pKey->modifiers() & Qt::AltModifier)
        nModifiers |= MOD_ALT;
    if (pKey->modifiers() & Qt::ControlModifier)
        nModifiers |= MOD_CONTROL;
    if (pKey->modifiers() & Qt::ShiftModifier)
        nModifiers |= MOD_SHIFT;
    if (pKey->modifiers() & Qt::MetaModifier)
        nModifiers |= MOD_WIN;
    return nModifiers;
}

} // namespace

CWnd::CWnd() : m_pPlatform(std::make_unique<CWndPlatform>()) {}

CWnd::~CWnd()
{
    EndModalLoop(m_nModalResult);
    m_dlgItems.clear();
    m_pPlatform->pReceiver.reset();
    if (m_pPlatform->bOwnsWidget && m_pPlatform->pWidget)
        delete m_pPlatform->pWidget.data();
}

HWND CWnd::GetSafeHwnd() const
{
    return ToHandle(m_pPlatform->pWidget.data());
}

void CWnd::Attach(HWND hWnd, bool bOwn)
{
    Detach();
    QWidget* pWidget = FromHandle(hWnd);
    m_pPlatform->pWidget = pWidget;
    m_pPlatform->bOwnsWidget = bOwn && pWidget;
    if (!pWidget)
        return;
    m_pPlatform->pReceiver = std::make_unique<QObject>();
    PreSubclassWindow();
}

HWND CWnd::Detach()
{
    QWidget* pWidget = m_pPlatform->pWidget.data();
    if (m_pPlatform->pKeyHook && pWidget)
        delete m_pPlatform->pKeyHook;
    m_pPlatform->pKeyHook = nullptr;
    m_pPlatform->pReceiver.reset();
    m_pPlatform->pWidget = nullptr;
    m_pPlatform->bOwnsWidget = false;
    return ToHandle(pWidget);
}

void CWnd::DestroyWindow()
{
    const bool bOwned = m_pPlatform->bOwnsWidget;
    QWidget* pWidget = FromHandle(Detach());
    if (bOwned && pWidget)
        delete pWidget;
}

void CWnd::SetWindowText(const CString& strInput)
{
    QWidget* pWidget = FromHandle(GetSafeHwnd());
    if (!pWidget)
        return;
    const QString strText = ToQString(strInput);
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

static QString WidgetText(QWidget* pWidget)
{
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

CString CWnd::GetWindowText() const
{
    return FromQString(WidgetText(FromHandle(GetSafeHwnd())));
}

bool CWnd::ShowWindow(int nCmdShow)
{
    QWidget* pWidget = FromHandle(GetSafeHwnd());
    if (!pWidget)
        return false;
    const bool bWasVisible = pWidget->isVisible();
    pWidget->setVisible(nCmdShow != SW_HIDE);
    return bWasVisible;
}

bool CWnd::EnableWindow(bool bEnable)
{
    QWidget* pWidget = FromHandle(GetSafeHwnd());
    if (!pWidget)
        return false;
    const bool bWasDisabled = !pWidget->isEnabled();
    pWidget->setEnabled(bEnable);
    return bWasDisabled;
}

bool CWnd::IsWindowEnabled() const
{
    const QWidget* pWidget = m_pPlatform->pWidget.data();
    return pWidget && pWidget->isEnabled();
}

bool CWnd::IsWindowVisible() const
{
    const QWidget* pWidget = m_pPlatform->pWidget.data();
    return pWidget && pWidget->isVisible();
}

void CWnd::SetFocus()
{
    if (QWidget* pWidget = FromHandle(GetSafeHwnd()))
        pWidget->setFocus(Qt::OtherFocusReason);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    QWidget* pWidget = FromHandle(GetSafeHwnd());
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
    QWidget* pOwner =
        pAlternateOwner ? FromHandle(pAlternateOwner->GetSafeHwnd()) : pWidget->parentWidget();
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
    if (QWidget* pWidget = FromHandle(GetSafeHwnd())) {
        pWidget->setUpdatesEnabled(bRedraw);
        if (bRedraw)
            pWidget->update();
    }
}

void CWnd::UpdateWindow()
{
    QWidget* pWidget = FromHandle(GetSafeHwnd());
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

CRect CWnd::GetClientRect() const
{
    QWidget* pWidget = FromHandle(GetSafeHwnd());
    if (!pWidget)
        return CRect();
    auto* pArea = qobject_cast<QAbstractScrollArea*>(pWidget);
    if (!pArea)
        return CRect(0, 0, pWidget->width(), pWidget->height());
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
    return CRect(0, 0, qMax(0, nWidth), inner.height());
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    QWidget* pWidget = FromHandle(GetSafeHwnd());
    if (!pWidget)
        return nullptr;
    for (QObject* pChild : pWidget->children()) {
        auto* pControl = qobject_cast<QWidget*>(pChild);
        if (!pControl || !pControl->property(kCtlIdProperty).isValid() ||
            GetDlgCtrlID(ToHandle(pControl)) != nID)
            continue;
        // One wrapper per id, kept: callers may hold on to it.
        std::unique_ptr<CWnd>& pItem = m_dlgItems[nID];
        if (!pItem)
            pItem = std::make_unique<CWnd>();
        if (pItem->GetSafeHwnd() != ToHandle(pControl))
            pItem->Attach(ToHandle(pControl), false);
        return pItem.get();
    }
    return nullptr;
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

void CWnd::SetKeyHandler(KeyHandler handler)
{
    QWidget* pWidget = FromHandle(GetSafeHwnd());
    if (!pWidget)
        return;
    delete m_pPlatform->pKeyHook;
    m_pPlatform->pKeyHook = nullptr;
    if (!handler)
        return;
    m_pPlatform->pKeyHook = new CEventHook(pWidget, [this, handler](QEvent* pEvent) {
        if (pEvent->type() != QEvent::KeyPress)
            return false;
        const auto* pKey = static_cast<QKeyEvent*>(pEvent);
        const unsigned nVirtKey = VirtualKeyOf(pKey);
        if (nVirtKey == 0)
            return false;
        bool bHandled = false;
        AfxCallHandler(GetSafeHwnd(), [&] { bHandled = handler(nVirtKey, ModifiersOf(pKey)); });
        return bHandled;
    });
}

int CWnd::RunModalLoop()
{
    QWidget* pWidget = FromHandle(GetSafeHwnd());
    if (!m_bContinueModal || !pWidget)
        return m_nModalResult;
    pWidget->show();
    QEventLoop loop;
    m_pPlatform->pModalLoop = &loop;
    // A window torn down under the loop (its parent went away) ends it as a failure.
    QObject::connect(pWidget, &QObject::destroyed, &loop, [this] { EndModalLoop(-1); });
    loop.exec(QEventLoop::DialogExec);
    m_pPlatform->pModalLoop = nullptr;
    return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult)
{
    if (!m_bContinueModal)
        return;
    m_bContinueModal = false;
    m_nModalResult = nResult;
    if (m_pPlatform->pModalLoop)
        m_pPlatform->pModalLoop->exit(0);
}

int CWnd::GetDlgCtrlID(HWND hWnd)
{
    const QWidget* pWidget = FromHandle(hWnd);
    return pWidget ? pWidget->property(kCtlIdProperty).toInt() : 0;
}

void CWnd::SetDlgCtrlID(HWND hWnd, int nID)
{
    if (QWidget* pWidget = FromHandle(hWnd))
        pWidget->setProperty(kCtlIdProperty, nID);
}

void CWnd::GotoFirstTabStop()
{
    if (!IsWindow())
        return;
    for (QObject* pChild : FromHandle(GetSafeHwnd())->children()) {
        auto* pControl = qobject_cast<QWidget*>(pChild);
        if (pControl && !pControl->isHidden() && pControl->isEnabled() &&
            (pControl->focusPolicy() & Qt::TabFocus)) {
            pControl->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}
