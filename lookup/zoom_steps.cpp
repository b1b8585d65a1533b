#include "zoom_steps.h"

#include <iterator>

namespace
{

constexpr double kSteps[] = {0.25, 0.33, 0.5,  0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                             1.25, 1.5,  1.75, 2.0,  2.5,  3.0, 4.0, 5.0};
constexpr double kNear = 0.005;

} // namespace

double CZoomSteps::In(double fFactor)
{
    for (const double fStep : kSteps)
        if (fStep > fFactor + kNear)
            return fStep;
    return fFactor;
}

double CZoomSteps::Out(double fFactor)
{
    for (auto it = std::rbegin(kSteps); it != std::rend(kSteps); ++it)
        if (*it < fFactor - kNear)
            return *it;
    return fFactor;
}

bool CZoomSteps::IsWithin(double fFactor)
{
    // False for NaN too.
    return fFactor >= kSteps[0] && fFactor <= kSteps[std::size(kSteps) - 1];
}
