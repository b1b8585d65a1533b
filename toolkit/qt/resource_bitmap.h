#pragma once

#include <QPixmap>

// Bitmap resource nID, or a null pixmap when there is none.
QPixmap AfxLoadBitmap(int nID);
