#include "find_bar.h"

#include "event_hook.h"
#include "web_browser.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace
{

bool IsPlainKey(const QKeyEvent* pKey, Qt::KeyboardModifiers allowed = Qt::NoModifier)
{
    return (pKey->modifiers() & ~(Qt::KeypadModifier | allowed)) == Qt::NoModifier;
}

} // namespace

void CFindBar::Create(CWebBrowser& browser)
{
    m_pView = browser.GetView();
    QWidget* pPage = m_pView ? m_pView->parentWidget() : nullptr;
    if (!pPage || m_pBar)
        return;
    m_pBar = new QWidget(pPage);
    m_pBar->setObjectName(QStringLiteral("findBar"));
    m_pBar->setAutoFillBackground(true);
    auto* pLayout = new QHBoxLayout(m_pBar);
    pLayout->setContentsMargins(0, 2, 0, 0);
    pLayout->setSpacing(2);
    pLayout->addWidget(new QLabel(QStringLiteral("Otsi lehelt:"), m_pBar));
    m_pText = new QLineEdit(m_pBar);
    m_pText->setObjectName(QStringLiteral("findText"));
    pLayout->addWidget(m_pText, 1);
    const struct {
        const char* pszName;
        Qt::ArrowType arrow;
        const char* pszToolTip;
        bool bBackward;
    } steps[] = {{"findPrevious", Qt::UpArrow, "Eelmine vaste (Shift+Enter)", true},
                 {"findNext", Qt::DownArrow, "Järgmine vaste (Enter)", false}};
    for (const auto& step : steps) {
        auto* pButton = new QToolButton(m_pBar);
        pButton->setObjectName(QString::fromLatin1(step.pszName));
        pButton->setArrowType(step.arrow);
        pButton->setToolTip(QString::fromUtf8(step.pszToolTip));
        pButton->setAutoRaise(true);
        pButton->setFocusPolicy(Qt::NoFocus);
        const bool bBackward = step.bBackward;
        QObject::connect(pButton, &QToolButton::clicked, m_pBar,
                         [this, bBackward] { Find(bBackward); });
        pLayout->addWidget(pButton);
    }
    m_pCount = new QLabel(m_pBar);
    m_pCount->setObjectName(QStringLiteral("findCount"));
    m_pCount->setMinimumWidth(
        m_pCount->fontMetrics().horizontalAdvance(QStringLiteral("Ei leitud")));
    pLayout->addWidget(m_pCount);
    auto* pClose = new QToolButton(m_pBar);
    pClose->setObjectName(QStringLiteral("findClose"));
    pClose->setText(QStringLiteral("×"));
    pClose->setToolTip(QStringLiteral("Sulge (Esc)"));
    pClose->setAutoRaise(true);
    pClose->setFocusPolicy(Qt::NoFocus);
    QObject::connect(pClose, &QToolButton::clicked, m_pBar, [this] { Close(); });
    pLayout->addWidget(pClose);
    m_pBar->hide();

    // Typing finds as it goes.
    QObject::connect(m_pText, &QLineEdit::textEdited, m_pBar, [this] { Find(false); });
    QObject::connect(m_pView->page(), &QWebEnginePage::findTextFinished, m_pBar,
                     [this](const QWebEngineFindTextResult& result) {
                         ShowCount(result.activeMatch(), result.numberOfMatches());
                     });
    // A new page is searched for the same text.
    QObject::connect(m_pView, &QWebEngineView::loadFinished, m_pBar, [this] {
        if (IsOpen() && !m_pText->text().isEmpty())
            Find(false);
    });
    // Enter belongs to the bar here, not to the page's default button.
    new CEventHook(m_pText, [this](QEvent* pEvent) {
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
    // Whoever sizes the browser sizes its room; the bar then takes its share.
    // Events of the place the bar gave the browser may come late, after the
    // change they tell of; only another place is the room's.
    new CEventHook(m_pView, [this](QEvent* pEvent) {
        if ((pEvent->type() == QEvent::Resize || pEvent->type() == QEvent::Move) && IsOpen() &&
            !m_bPlacing && m_pView->geometry() != m_browserPlace) {
            m_browserRoom = m_pView->geometry();
            Place();
        }
        return false;
    });
}

void CFindBar::Open()
{
    if (!m_pBar || !m_pView)
        return;
    if (!IsOpen()) {
        m_browserRoom = m_pView->geometry();
        m_pBar->show();
        Place();
        if (!m_pText->text().isEmpty())
            Find(false);
    }
    m_pText->setFocus(Qt::ShortcutFocusReason);
    m_pText->selectAll();
}

void CFindBar::Close()
{
    if (!IsOpen())
        return;
    const bool bHadFocus = m_pBar->isAncestorOf(QApplication::focusWidget());
    m_pBar->hide();
    m_bPlacing = true;
    m_pView->setGeometry(m_browserRoom);
    m_bPlacing = false;
    // The matches are no longer marked.
    m_pView->page()->findText(QString());
    m_pCount->clear();
    if (bHadFocus)
        m_pView->setFocus(Qt::OtherFocusReason);
}

bool CFindBar::IsOpen() const
{
    return m_pBar && m_pView && !m_pBar->isHidden();
}

void CFindBar::Find(bool bBackward)
{
    if (!m_pView)
        return;
    const QString strText = m_pText->text();
    if (strText.isEmpty()) {
        m_pView->page()->findText(QString());
        m_pCount->clear();
        return;
    }
    m_pView->page()->findText(strText, bBackward ? QWebEnginePage::FindBackward
                                                 : QWebEnginePage::FindFlags());
}

void CFindBar::ShowCount(int nActive, int nMatches)
{
    if (!IsOpen() || m_pText->text().isEmpty())
        m_pCount->clear();
    else if (nMatches == 0)
        m_pCount->setText(QStringLiteral("Ei leitud"));
    else
        m_pCount->setText(QStringLiteral("%1/%2").arg(nActive).arg(nMatches));
}

void CFindBar::Place()
{
    const int nHeight = m_pBar->sizeHint().height();
    const QRect room = m_browserRoom;
    m_bPlacing = true;
    m_browserPlace = QRect(room.x(), room.y(), room.width(), qMax(0, room.height() - nHeight));
    m_pView->setGeometry(m_browserPlace);
    m_bPlacing = false;
    m_pBar->setGeometry(room.x(), room.y() + room.height() - nHeight, room.width(), nHeight);
    m_pBar->raise();
}
