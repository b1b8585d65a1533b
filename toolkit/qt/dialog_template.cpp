#include "dialog_template.h"

#include "qt_text.h"
#include "resource_loader.h"

#include <QFile>
#include <QString>
#include <QtGlobal>

const CDialogTemplate* CDialogTemplate::Find(int nID)
{
    static const std::vector<CDialogTemplate> s_templates = [] {
        AfxInitResources();
        std::vector<CDialogTemplate> templates;
        QFile file(QStringLiteral(":/quillbridge/dialogs.tpl"));
        CString strError;
        if (!file.open(QIODevice::ReadOnly) ||
            !Parse(FromQString(QString::fromUtf8(file.readAll())), templates, &strError)) {
            qWarning("dialog templates unreadable: %s", Utf16ToUtf8(strError).c_str());
            templates.clear();
        }
        return templates;
    }();
    for (const CDialogTemplate& dlg : s_templates)
        if (dlg.m_nID == nID)
            return &dlg;
    return nullptr;
}
