#pragma once

#include <QDialog>

#include <functional>

// The top-level window of a dialog or property sheet. It leaves the keyboard
// interface to its owner, as the dialog manager does: Enter asks for the
// default command, Esc and the close box for cancel.
class CDialogWindow : public QDialog
{
public:
    CDialogWindow(QWidget* pParent, Qt::WindowFlags flags);

    std::function<void()> m_onEnter;
    std::function<void()> m_onEscape;
    std::function<void()> m_onClose;
    // A thin line around a window without caption.
    bool m_bThinBorder = false;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void reject() override;
    void paintEvent(QPaintEvent* pEvent) override;
};
