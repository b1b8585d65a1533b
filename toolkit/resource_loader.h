#pragma once

// Makes the program's built-in resources (templates, bitmaps) readable.
void AfxInitResources();
