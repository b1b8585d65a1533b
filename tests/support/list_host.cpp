#include "list_host.h"

#include "dialog_controls.h"
#include "dialog_template.h"
#include "qt_text.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QTreeWidget>

ListHost::ListHost(int nTemplate)
{
    host.setFont(CDialogControls::DialogFont());
    const CDialogTemplate* pTemplate = CDialogTemplate::Find(nTemplate);
    host.resize(CDialogControls::GetPixelSize(*pTemplate, host.font()));
    CDialogControls::Create(*pTemplate, &host);
    hostWnd.Attach(ToHandle(&host));
    list.SubclassDlgItem(1007, &hostWnd);
    for (const char* pszHeading : {"Nimi", "Kodeering", "Sõnastikuprogramm"})
        list.InsertColumn(list.GetColumnCount(), Utf8ToUtf16(pszHeading));
}

ListHost::~ListHost()
{
    list.Detach();
    hostWnd.Detach();
}

void ListHost::Add(const QString& strName, const QString& strEncoding, const QString& strProgram)
{
    const int nRow = list.InsertItem(list.GetItemCount(), FromQString(strName));
    list.SetItemText(nRow, 1, FromQString(strEncoding));
    list.SetItemText(nRow, 2,
                     FromQString(strProgram.isNull() ? QStringLiteral("http://127.0.0.1/") + strName
                                                     : strProgram));
}

QTreeWidget* ListHost::Tree() const
{
    return static_cast<QTreeWidget*>(WidgetOf(list));
}
