#pragma once

#include "point.h"
#include "size.h"

// A rectangle whose right and bottom edges lie just outside it.
class CRect
{
public:
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(CPoint topLeft, CSize size)
        : left(topLeft.x), top(topLeft.y), right(topLeft.x + size.cx), bottom(topLeft.y + size.cy)
    {
    }

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return CSize(Width(), Height()); }
    constexpr CPoint TopLeft() const { return CPoint(left, top); }
    constexpr bool IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }

    constexpr bool operator==(const CRect&) const = default;

    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
