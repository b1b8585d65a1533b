#pragma once

#include <QPixmap>

// Makes the program's built-in resources (templates, bitmaps) readable.
void AfxInitResources();

// Bitmap resource nID, or a null pixmap when there is none.
QPixmap AfxLoadBitmap(int nID);
