#include "resource_loader.h"

#include "resource_bitmap.h"

#include <QString>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void InitQuillbridgeResources()
{
    Q_INIT_RESOURCE(quillbridge);
}

void AfxInitResources()
{
    static const bool s_bDone = [] {
        InitQuillbridgeResources();
        return true;
    }();
    (void)s_bDone;
}

QPixmap AfxLoadBitmap(int nID)
{
    AfxInitResources();
    return QPixmap(QStringLiteral(":/quillbridge/bitmap_%1.xpm").arg(nID));
}
