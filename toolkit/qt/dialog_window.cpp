#include "dialog_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

CDialogWindow::CDialogWindow(QWidget* pParent, Qt::WindowFlags flags) : QDialog(pParent, flags) {}

void CDialogWindow::keyPressEvent(QKeyEvent* pEvent)
{
    const auto modifiers = pEvent->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        switch (pEvent->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Reaches here only when the focused control did not take the key
            // itself (a focused push button presses itself).
            if (m_onEnter)
                m_onEnter();
            pEvent->accept();
            return;
        case Qt::Key_Escape:
            if (m_onEscape)
                m_onEscape();
            pEvent->accept();
            return;
        default:
            break;
        }
    }
    QDialog::keyPressEvent(pEvent);
}

void CDialogWindow::closeEvent(QCloseEvent* pEvent)
{
    // The owner decides whether and how the window ends.
    pEvent->ignore();
    if (m_onClose)
        m_onClose();
}

void CDialogWindow::reject()
{
    if (m_onEscape)
        m_onEscape();
}

void CDialogWindow::paintEvent(QPaintEvent* pEvent)
{
    QDialog::paintEvent(pEvent);
    if (!m_bThinBorder)
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
