#pragma once

// An overlay line for the K-line chart: bar index -> value.

#include <qcustomplot.h>

#include <QColor>
#include <QMap>
#include <QPen>

class ChartLine
{
public:
    QMap<int, float> points;
    QPen pen{QColor(246, 246, 246, 255)};
    int style = QCPGraph::lsLine;
    QCPScatterStyle scatter;
};
