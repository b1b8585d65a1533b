#include "manage_test.h"

#include "dialog_template.h"

#include <QApplication>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

OnNextModal::OnNextModal(std::function<void(QWidget*)> fn, QWidget* pExcept,
                         std::function<bool()> ready)
{
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this, fn, pExcept, ready] {
        QWidget* pModal = QApplication::activeModalWidget();
        if (!pModal || pModal == pExcept || !pModal->isVisible() || (ready && !ready()))
            return;
        m_timer.stop();
        m_bRan = true;
        fn(pModal);
    });
    m_timer.start();
}

ModalWatchdog::ModalWatchdog(int timeoutMs)
{
    m_timer.setInterval(timeoutMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        ADD_FAILURE() << "a modal window was left open";
        m_timer.setInterval(200);
        if (QWidget* pModal = QApplication::activeModalWidget())
            pModal->close();
    });
    m_timer.start();
}

Rows RowsOf(const QTreeWidget* pTree)
{
    Rows rows;
    for (int r = 0; r < pTree->topLevelItemCount(); ++r) {
        const QTreeWidgetItem* pItem = pTree->topLevelItem(r);
        rows.push_back({pItem->text(0), pItem->text(1), pItem->text(2)});
    }
    return rows;
}

std::vector<int> SelectedRowsOf(const QTreeWidget* pTree)
{
    std::vector<int> rows;
    for (int r = 0; r < pTree->topLevelItemCount(); ++r)
        if (pTree->topLevelItem(r)->isSelected())
            rows.push_back(r);
    return rows;
}

Rows RowsOf(const std::vector<CDictEntry>& entries)
{
    Rows rows;
    for (const CDictEntry& entry : entries)
        rows.push_back({QString::fromStdU16String(entry.name),
                        QString::fromStdU16String(entry.encoding),
                        QString::fromStdU16String(entry.programUrl)});
    return rows;
}

QByteArray PublishedBody(const std::vector<CDictEntry>& entries, int32_t nSelection)
{
    // Written here byte by byte: the catalogue's own writer leaves out
    // entries that a published file may still hold.
    QByteArray body;
    const auto nHeader = static_cast<uint32_t>(nSelection);
    for (int i = 0; i < 4; ++i)
        body += static_cast<char>((nHeader >> (8 * i)) & 0xFF);
    for (const CDictEntry& entry : entries)
        for (const std::u16string* pText : {&entry.name, &entry.encoding, &entry.programUrl}) {
            for (char16_t c : *pText) {
                body += static_cast<char>(c & 0xFF);
                body += static_cast<char>(c >> 8);
            }
            body.append(2, '\0');
        }
    return body;
}

void ClickRow(QTreeWidget* pTree, int nRow, Qt::KeyboardModifiers modifiers)
{
    const QRect rect = pTree->visualItemRect(pTree->topLevelItem(nRow));
    QTest::mouseClick(pTree->viewport(), Qt::LeftButton, modifiers, rect.center());
}

QWidget* FindWaitWindow()
{
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (pWidget->objectName() == QStringLiteral("dialog139"))
            return pWidget;
    return nullptr;
}

SiteBaseOverride::SiteBaseOverride(const QString& strBase)
    : m_previous(qgetenv("QUILLBRIDGE_SITE_BASE")),
      m_bHadPrevious(qEnvironmentVariableIsSet("QUILLBRIDGE_SITE_BASE"))
{
    qputenv("QUILLBRIDGE_SITE_BASE", strBase.toUtf8());
}

SiteBaseOverride::~SiteBaseOverride()
{
    if (m_bHadPrevious)
        qputenv("QUILLBRIDGE_SITE_BASE", m_previous);
    else
        qunsetenv("QUILLBRIDGE_SITE_BASE");
}
