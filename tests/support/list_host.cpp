#include "list_host.h"

#include "dialog_template.h"

#include <QTreeWidget>

ListHost::ListHost(int nTemplate)
{
    host.setFont(CDialogTemplate::DialogFont());
    const CDialogTemplate* pTemplate = CDialogTemplate::Find(nTemplate);
    host.resize(pTemplate->GetPixelSize(host.font()));
    pTemplate->CreateControls(&host);
    hostWnd.Attach(&host);
    list.SubclassDlgItem(1007, &hostWnd);
    for (const char* pszHeading : {"Nimi", "Kodeering", "Sõnastikuprogramm"})
        list.InsertColumn(list.GetColumnCount(), QString::fromUtf8(pszHeading));
}

ListHost::~ListHost()
{
    list.Detach();
    hostWnd.Detach();
}

void ListHost::Add(const QString& strName, const QString& strEncoding, const QString& strProgram)
{
    const int nRow = list.InsertItem(list.GetItemCount(), strName);
    list.SetItemText(nRow, 1, strEncoding);
    list.SetItemText(
        nRow, 2, strProgram.isNull() ? QStringLiteral("http://127.0.0.1/") + strName : strProgram);
}

QTreeWidget* ListHost::Tree() const
{
    return static_cast<QTreeWidget*>(list.GetSafeHwnd());
}
