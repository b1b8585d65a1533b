#include "find_bar.h"

#include "event_hook.h"
#include "qt_text.h"
#include "web_browser.h"
#include "web_browser_linux.h"
#include "wnd_platform.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <QWebEngineView>

struct CFindBarPlatform {
    QPointer<QWidget> pBar;
    QPointer<QWidget> pView;
    QBoxLayout* pColumn = nullptr;
    QLineEdit* pText = nullptr;
    QLabel* pCount = nullptr;
};

namespace
{

bool IsPlainKey(const QKeyEvent* pKey, Qt::KeyboardModifiers allowed = Qt::NoModifier)
{
    return (pKey->modifiers() & ~(Qt::KeypadModifier | allowed)) == Qt::NoModifier;
}

} // namespace

CFindBar::CFindBar() = default;
CFindBar::~CFindBar() = default;

bool CFindBar::CreateBar(CWebBrowser& browser)
{
    QWebEngineView* pView = BrowserView(browser);
    QBoxLayout* pColumn = BrowserColumn(browser);
    QWidget* pBox = WidgetOf(browser);
    QWidget* pPage = pBox ? pBox->parentWidget() : nullptr;
    if (!pView || !pColumn || !pPage)
        return false;
    m_pPlatform = std::make_unique<CFindBarPlatform>();
    m_pPlatform->pView = pView;
    m_pPlatform->pColumn = pColumn;
    auto* pBar = new QWidget(pBox);
    m_pPlatform->pBar = pBar;
    pBar->setObjectName(QStringLiteral("findBar"));
    pBar->setAutoFillBackground(true);
    auto* pLayout = new QHBoxLayout(pBar);
    pLayout->setContentsMargins(0, 2, 0, 0);
    pLayout->setSpacing(2);
    pLayout->addWidget(new QLabel(QStringLiteral("Otsi lehelt:"), pBar));
    auto* pText = new QLineEdit(pBar);
    m_pPlatform->pText = pText;
    pText->setObjectName(QStringLiteral("findText"));
    pLayout->addWidget(pText, 1);
    const struct {
        const char* pszName;
        Qt::ArrowType arrow;
        const char* pszToolTip;
        bool bBackward;
    } steps[] = {{"findPrevious", Qt::UpArrow, "Eelmine vaste (Shift+Enter)", true},
                 {"findNext", Qt::DownArrow, "Järgmine vaste (Enter)", false}};
    for (const auto& step : steps) {
        auto* pButton = new QToolButton(pBar);
        pButton->setObjectName(QString::fromLatin1(step.pszName));
        pButton->setArrowType(step.arrow);
        pButton->setToolTip(QString::fromUtf8(step.pszToolTip));
        pButton->setAutoRaise(true);
        pButton->setFocusPolicy(Qt::NoFocus);
        const bool bBackward = step.bBackward;
        QObject::connect(pButton, &QToolButton::clicked, pBar,
                         [this, bBackward] { Find(bBackward); });
        pLayout->addWidget(pButton);
    }
    auto* pCount = new QLabel(pBar);
    m_pPlatform->pCount = pCount;
    pCount->setObjectName(QStringLiteral("findCount"));
    pCount->setMinimumWidth(pCount->fontMetrics().horizontalAdvance(ToQString(CountText(0, 0))));
    pLayout->addWidget(pCount);
    auto* pClose = new QToolButton(pBar);
    pClose->setObjectName(QStringLiteral("findClose"));
    pClose->setText(QStringLiteral("×"));
    pClose->setToolTip(QStringLiteral("Sulge (Esc)"));
    pClose->setAutoRaise(true);
    pClose->setFocusPolicy(Qt::NoFocus);
    QObject::connect(pClose, &QToolButton::clicked, pBar, [this] { Close(); });
    pLayout->addWidget(pClose);
    pBar->hide();
    // Under the page, which the column gives the rest of the room.
    pColumn->addWidget(pBar);

    // Typing finds as it goes.
    QObject::connect(pText, &QLineEdit::textEdited, pBar, [this] { Find(false); });
    // Enter belongs to the bar here, not to the page's default button.
    new CEventHook(pText, [this](QEvent* pEvent) {
        if (pEvent->type() != QEvent::KeyPress)
            return false;
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if ((pKey->key() != Qt::Key_Return && pKey->key() != Qt::Key_Enter) ||
            !IsPlainKey(pKey, Qt::ShiftModifier))
            return false;
        Find(pKey->modifiers() & Qt::ShiftModifier);
        return true;
    });
    // Esc from anywhere on the page, also from inside the browser, which
    // hands its Esc to the page: the bar closes first.
    new CEventHook(pPage, [this](QEvent* pEvent) {
        if (pEvent->type() != QEvent::KeyPress || !IsOpen())
            return false;
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if (pKey->key() != Qt::Key_Escape || !IsPlainKey(pKey))
            return false;
        Close();
        return true;
    });
    return true;
}

void CFindBar::ShowBar(bool bShow)
{
    QWidget* pBar = m_pPlatform ? m_pPlatform->pBar.data() : nullptr;
    if (!pBar)
        return;
    const bool bHadFocus = pBar->isAncestorOf(QApplication::focusWidget());
    pBar->setVisible(bShow);
    // The page and the bar take their places now, not after the next event.
    m_pPlatform->pColumn->invalidate();
    m_pPlatform->pColumn->activate();
    if (!bShow && bHadFocus && m_pPlatform->pView)
        m_pPlatform->pView->setFocus(Qt::OtherFocusReason);
}

bool CFindBar::IsBarShown() const
{
    return m_pPlatform && m_pPlatform->pBar && !m_pPlatform->pBar->isHidden();
}

std::u16string CFindBar::GetText() const
{
    return IsBarShown() || (m_pPlatform && m_pPlatform->pBar)
               ? FromQString(m_pPlatform->pText->text())
               : std::u16string();
}

void CFindBar::SetCountText(const std::u16string& strText)
{
    if (m_pPlatform && m_pPlatform->pBar)
        m_pPlatform->pCount->setText(ToQString(strText));
}

void CFindBar::FocusText()
{
    if (!m_pPlatform || !m_pPlatform->pBar)
        return;
    m_pPlatform->pText->setFocus(Qt::ShortcutFocusReason);
    m_pPlatform->pText->selectAll();
}
