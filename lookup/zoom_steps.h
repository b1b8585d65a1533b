#pragma once

// The zoom of a browser page, in the steps that browsers offer, from a
// quarter of the page's size to five times it.
class CZoomSteps
{
public:
    static constexpr double kNormal = 1.0;

    // The next step up or down from fFactor; the same factor at either end.
    // A factor between steps (Ctrl+wheel sets those) goes to the next step
    // beyond it; one near enough to a step counts as on it.
    static double In(double fFactor);
    static double Out(double fFactor);
    // Whether the browser can show fFactor: a kept zoom is taken only then.
    static bool IsWithin(double fFactor);
};
