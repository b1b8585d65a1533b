#include "tool_bar_ctrl.h"

#include "exception_report.h"
#include "resource_loader.h"
#include "win_defs.h"

#include <QBitmap>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QToolButton>
#include <QToolTip>

namespace
{

const int kPadding = 2;
const QColor kButtonFace(192, 192, 192);

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
        return m_pToolBar->ShowToolTip(pButton, static_cast<QHelpEvent*>(pEvent)->globalPos());
    }

private:
    CToolBarCtrl* m_pToolBar;
};

bool CToolBarCtrl::Create(unsigned dwStyle, const QRect& rect, QWidget* pParent, int nID)
{
    if (!pParent || IsWindow())
        return false;
    m_dwStyle = dwStyle;
    m_images.clear();
    m_buttons.clear();
    auto* pBar = new QWidget(pParent);
    pBar->setObjectName(QStringLiteral("ctl%1").arg(nID));
    SetDlgCtrlID(pBar, nID);
    auto* pLayout = new QHBoxLayout(pBar);
    pLayout->setContentsMargins(0, kPadding, 0, kPadding);
    pLayout->setSpacing(0);
    pLayout->addStretch(1);
    pBar->setGeometry(rect);
    pBar->setVisible(dwStyle & WS_VISIBLE);
    Attach(pBar, true);
    return true;
}

int CToolBarCtrl::AddBitmap(int nNumButtons, int nBitmapID)
{
    const QPixmap strip = AfxLoadBitmap(nBitmapID);
    if (strip.isNull() || nNumButtons <= 0 || strip.height() < kImageSize.height() ||
        strip.width() < nNumButtons * kImageSize.width())
        return -1;
    const int nFirst = static_cast<int>(m_images.size());
    for (int i = 0; i < nNumButtons; ++i) {
        QPixmap cell =
            strip.copy(i * kImageSize.width(), 0, kImageSize.width(), kImageSize.height());
        // The grey ground is the button's face, as the toolbar maps it.
        cell.setMask(cell.createMaskFromColor(kButtonFace, Qt::MaskInColor));
        m_images.push_back(cell);
    }
    return nFirst;
}

bool CToolBarCtrl::AddButtons(int nNumButtons, const TBBUTTON* pButtons)
{
    QWidget* pBar = GetSafeHwnd();
    if (!pBar || !pButtons)
        return false;
    auto* pLayout = static_cast<QHBoxLayout*>(pBar->layout());
    for (int i = 0; i < nNumButtons; ++i) {
        const TBBUTTON& button = pButtons[i];
        auto* pButton = new QToolButton(pBar);
        pButton->setObjectName(QStringLiteral("button%1").arg(button.idCommand));
        SetDlgCtrlID(pButton, button.idCommand);
        if (button.iBitmap >= 0 && button.iBitmap < static_cast<int>(m_images.size()))
            pButton->setIcon(QIcon(m_images[static_cast<std::size_t>(button.iBitmap)]));
        pButton->setIconSize(kImageSize);
        pButton->setFixedSize(kButtonSize);
        pButton->setAutoRaise(m_dwStyle & TBSTYLE_FLAT);
        pButton->setFocusPolicy(Qt::NoFocus);
        pButton->setEnabled(button.fsState & TBSTATE_ENABLED);
        if (m_dwStyle & TBSTYLE_TOOLTIPS)
            pButton->installEventFilter(new ToolTipFilter(this, Receiver()));
        const int nID = button.idCommand;
        QObject::connect(pButton, &QToolButton::clicked, Receiver(), [this, nID] {
            if (m_pOwner)
                m_pOwner->SendCommand(nID, GetSafeHwnd());
        });
        pLayout->insertWidget(pLayout->count() - 1, pButton);
        m_buttons.push_back(pButton);
    }
    return true;
}

void CToolBarCtrl::AutoSize()
{
    QWidget* pBar = GetSafeHwnd();
    if (!pBar || !pBar->parentWidget())
        return;
    const QWidget* pParent = pBar->parentWidget();
    const int nHeight = kButtonSize.height() + 2 * kPadding;
    const bool bBottom = (m_dwStyle & CCS_BOTTOM) == CCS_BOTTOM;
    pBar->setGeometry(0, bBottom ? pParent->height() - nHeight : 0, pParent->width(), nHeight);
}

bool CToolBarCtrl::EnableButton(int nID, bool bEnable)
{
    QToolButton* pButton = GetButton(nID);
    if (!pButton)
        return false;
    pButton->setEnabled(bEnable);
    return true;
}

bool CToolBarCtrl::IsButtonEnabled(int nID) const
{
    QToolButton* pButton = GetButton(nID);
    return pButton && pButton->isEnabled();
}

QToolButton* CToolBarCtrl::GetButton(int nID) const
{
    if (!IsWindow())
        return nullptr;
    for (QToolButton* pButton : m_buttons)
        if (GetDlgCtrlID(pButton) == nID)
            return pButton;
    return nullptr;
}

QString CToolBarCtrl::OnNeedToolTipText(int /*nID*/)
{
    return QString();
}

bool CToolBarCtrl::ShowToolTip(QToolButton* pButton, const QPoint& globalPos)
{
    QString strText;
    AfxCallHandler(GetSafeHwnd(), [&] { strText = OnNeedToolTipText(GetDlgCtrlID(pButton)); });
    if (strText.isEmpty()) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(globalPos, strText, pButton);
    return true;
}
