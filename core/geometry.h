#pragma once

#include <QLineF>

// Distance of (x, y) from the straight line through the line's two end points.
float pointLineDistance(const QLineF& line, float x, float y);
