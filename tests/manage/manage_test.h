#pragma once

#include "dict_entry.h"
#include "list_host.h"

#include <QByteArray>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

class QTreeWidget;

// What the catalogue management tests share.

// Texts in failure messages as text.
inline void PrintTo(const QString& str, std::ostream* pOut)
{
    *pOut << '"' << str.toStdString() << '"';
}

// While it lives, runs fn once on the first shown modal window other than
// pExcept for which ready holds (checked every 10 ms from whatever event loop
// runs). Scoped, so that a script for one window cannot meet a later one.
class OnNextModal
{
public:
    explicit OnNextModal(std::function<void(QWidget* pModal)> fn, QWidget* pExcept = nullptr,
                         std::function<bool()> ready = {});
    OnNextModal(const OnNextModal&) = delete;
    OnNextModal& operator=(const OnNextModal&) = delete;

    bool Ran() const { return m_bRan; }

private:
    QTimer m_timer;
    bool m_bRan = false;
};

// Closes every modal window from timeoutMs on, so that a failing script ends
// its test instead of hanging it.
class ModalWatchdog
{
public:
    explicit ModalWatchdog(int timeoutMs = 20000);

private:
    QTimer m_timer;
};

// The three texts of every row of a list view, in order.
using Rows = std::vector<std::vector<QString>>;
Rows RowsOf(const QTreeWidget* pTree);
std::vector<int> SelectedRowsOf(const QTreeWidget* pTree);
Rows RowsOf(const std::vector<CDictEntry>& entries);

// A catalogue file as the maker publishes it: the header and the entries'
// records, no end record.
QByteArray PublishedBody(const std::vector<CDictEntry>& entries, int32_t nSelection = 0);

// Clicks the middle of a row, as the user selects it (with Ctrl: adds it
// to the selection, or takes it out).
void ClickRow(QTreeWidget* pTree, int nRow, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The download's wait window (template 139) while it exists: the download
// step of the selection dialog is over once it is gone.
QWidget* FindWaitWindow();

// While it lives, the maker's site is at strBase (QUILLBRIDGE_SITE_BASE).
class SiteBaseOverride
{
public:
    explicit SiteBaseOverride(const QString& strBase);
    ~SiteBaseOverride();
    SiteBaseOverride(const SiteBaseOverride&) = delete;
    SiteBaseOverride& operator=(const SiteBaseOverride&) = delete;

private:
    QByteArray m_previous;
    bool m_bHadPrevious;
};

// The control of a window by id, as its template names it.
template <class T> T* Control(QWidget* pWindow, int nID)
{
    return pWindow->findChild<T*>(QStringLiteral("ctl%1").arg(nID), Qt::FindDirectChildrenOnly);
}
