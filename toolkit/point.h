#pragma once

// A point in pixels.
class CPoint
{
public:
    constexpr CPoint() = default;
    constexpr CPoint(int nX, int nY) : x(nX), y(nY) {}

    constexpr bool operator==(const CPoint&) const = default;

    int x = 0;
    int y = 0;
};
