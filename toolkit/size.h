#pragma once

// An extent in pixels (or in the units its user says).
class CSize
{
public:
    constexpr CSize() = default;
    constexpr CSize(int nCx, int nCy) : cx(nCx), cy(nCy) {}

    constexpr bool operator==(const CSize&) const = default;

    int cx = 0;
    int cy = 0;
};
