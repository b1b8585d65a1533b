#include "tool_bar_ctrl.h"

#include "exception_report.h"
#include "qt_text.h"
#include "resource_bitmap.h"
#include "win_defs.h"
#include "wnd_platform.h"

#include <QBitmap>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QToolButton>
#include <QToolTip>

namespace
{

const int kPadding = 2;
const QColor kButtonFace(192, 192, 192);
const QSize kImageQSize(CToolBarCtrl::kImageSize.cx, CToolBarCtrl::kImageSize.cy);
const QSize kButtonQSize(CToolBarCtrl::kButtonSize.cx, CToolBarCtrl::kButtonSize.cy);

// Cell nCell of a bitmap strip, its button-face grey see-through.
QPixmap ButtonImage(const QPixmap& strip, int nCell)
{
    QPixmap cell =
        strip.copy(nCell * kImageQSize.width(), 0, kImageQSize.width(), kImageQSize.height());
    // The grey ground is the button's face, as the toolbar maps it.
    cell.setMask(cell.createMaskFromColor(kButtonFace, Qt::MaskInColor));
    return cell;
}

} // namespace

// Turns the tooltip events of the buttons into need-text requests.
class ToolTipFilter : public QObject
{
public:
    ToolTipFilter(CToolBarCtrl* pToolBar, QObject* pParent) : QObject(pParent), m_pToolBar(pToolBar)
    {
    }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() != QEvent::ToolTip)
            return QObject::eventFilter(pWatched, pEvent);
        auto* pButton = qobject_cast<QToolButton*>(pWatched);
        if (!pButton)
            return false;
        const QPoint pos = static_cast<QHelpEvent*>(pEvent)->globalPos();
        return m_pToolBar->ShowToolTip(ToHandle(pButton), CPoint(pos.x(), pos.y()));
    }

private:
    CToolBarCtrl* m_pToolBar;
};

CToolBarCtrl::~CToolBarCtrl() = default;

bool CToolBarCtrl::Create(unsigned dwStyle, const CRect& rect, CWnd* pParentWnd, int nID)
{
    QWidget* pParent = pParentWnd ? WidgetOf(*pParentWnd) : nullptr;
    if (!pParent || IsWindow())
        return false;
    m_dwStyle = dwStyle;
    m_images.clear();
    m_buttons.clear();
    auto* pBar = new QWidget(pParent);
    pBar->setObjectName(QStringLiteral("ctl%1").arg(nID));
    SetDlgCtrlID(ToHandle(pBar), nID);
    auto* pLayout = new QHBoxLayout(pBar);
    pLayout->setContentsMargins(0, kPadding, 0, kPadding);
    pLayout->setSpacing(0);
    pLayout->addStretch(1);
    pBar->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    pBar->setVisible(dwStyle & WS_VISIBLE);
    Attach(ToHandle(pBar), true);
    return true;
}

int CToolBarCtrl::AddBitmap(int nNumButtons, int nBitmapID)
{
    const QPixmap strip = AfxLoadBitmap(nBitmapID);
    if (strip.isNull() || nNumButtons <= 0 || strip.height() < kImageSize.cy ||
        strip.width() < nNumButtons * kImageSize.cx)
        return -1;
    const int nFirst = static_cast<int>(m_images.size());
    for (int i = 0; i < nNumButtons; ++i)
        m_images.push_back({nBitmapID, i});
    return nFirst;
}

bool CToolBarCtrl::AddButtons(int nNumButtons, const TBBUTTON* pButtons)
{
    QWidget* pBar = WidgetOf(*this);
    if (!pBar || !pButtons)
        return false;
    auto* pLayout = static_cast<QHBoxLayout*>(pBar->layout());
    for (int i = 0; i < nNumButtons; ++i) {
        const TBBUTTON& button = pButtons[i];
        auto* pButton = new QToolButton(pBar);
        pButton->setObjectName(QStringLiteral("button%1").arg(button.idCommand));
        SetDlgCtrlID(ToHandle(pButton), button.idCommand);
        if (button.iBitmap >= 0 && button.iBitmap < static_cast<int>(m_images.size())) {
            const ImageCell& image = m_images[static_cast<std::size_t>(button.iBitmap)];
            pButton->setIcon(QIcon(ButtonImage(AfxLoadBitmap(image.nBitmapID), image.nCell)));
        }
        pButton->setIconSize(kImageQSize);
        pButton->setFixedSize(kButtonQSize);
        pButton->setAutoRaise(m_dwStyle & TBSTYLE_FLAT);
        pButton->setFocusPolicy(Qt::NoFocus);
        pButton->setEnabled(button.fsState & TBSTATE_ENABLED);
        if (m_dwStyle & TBSTYLE_TOOLTIPS)
            pButton->installEventFilter(new ToolTipFilter(this, GetPlatform().pReceiver.get()));
        const int nID = button.idCommand;
        QObject::connect(pButton, &QToolButton::clicked, GetPlatform().pReceiver.get(),
                         [this, nID] {
                             if (m_pOwner)
                                 m_pOwner->SendCommand(nID, GetSafeHwnd());
                         });
        pLayout->insertWidget(pLayout->count() - 1, pButton);
        m_buttons.push_back(ToHandle(pButton));
    }
    return true;
}

void CToolBarCtrl::AutoSize()
{
    QWidget* pBar = WidgetOf(*this);
    if (!pBar || !pBar->parentWidget())
        return;
    const QWidget* pParent = pBar->parentWidget();
    const int nHeight = kButtonSize.cy + 2 * kPadding;
    const bool bBottom = (m_dwStyle & CCS_BOTTOM) == CCS_BOTTOM;
    pBar->setGeometry(0, bBottom ? pParent->height() - nHeight : 0, pParent->width(), nHeight);
}

void CToolBarCtrl::SetOwner(CWnd* pOwner)
{
    m_pOwner = pOwner;
}

int CToolBarCtrl::GetButtonCount() const
{
    return static_cast<int>(m_buttons.size());
}

bool CToolBarCtrl::EnableButton(int nID, bool bEnable)
{
    QWidget* pButton = FromHandle(GetButton(nID));
    if (!pButton)
        return false;
    pButton->setEnabled(bEnable);
    return true;
}

bool CToolBarCtrl::IsButtonEnabled(int nID) const
{
    const QWidget* pButton = FromHandle(GetButton(nID));
    return pButton && pButton->isEnabled();
}

HWND CToolBarCtrl::GetButton(int nID) const
{
    if (!IsWindow())
        return nullptr;
    for (HWND hButton : m_buttons)
        if (GetDlgCtrlID(hButton) == nID)
            return hButton;
    return nullptr;
}

CString CToolBarCtrl::OnNeedToolTipText(int /*nID*/)
{
    return CString();
}

bool CToolBarCtrl::ShowToolTip(HWND hButton, const CPoint& screenPos)
{
    CString strText;
    AfxCallHandler(GetSafeHwnd(), [&] { strText = OnNeedToolTipText(GetDlgCtrlID(hButton)); });
    if (strText.empty()) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(QPoint(screenPos.x, screenPos.y), ToQString(strText), FromHandle(hButton));
    return true;
}
