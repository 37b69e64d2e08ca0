#include "core/geometry.h"

#include <cmath>

float pointLineDistance(const QLineF& line, float x, float y)
{
    // A vertical line has no slope: the distance is the horizontal one.
    if (line.x2() == line.x1())
        return std::fabs(x - float(line.x1()));
    const float k = float(line.y2() - line.y1()) / float(line.x2() - line.x1());
    const float b = float(line.y1()) - k * float(line.x1());
    return std::fabs(y - k * x - b) / std::sqrt(k * k + 1);
}
