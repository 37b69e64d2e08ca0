#pragma once

// A widget-based company profile: a quote header above the tabs "Brief" and
// "Finance". Labels show "-" until they are filled.

#include "datasource/stockcompanyinfo.h"

#include <QList>
#include <QWidget>

class QFormLayout;
class QGridLayout;
class QLabel;

class StockBrief : public QWidget
{
    Q_OBJECT
public:
    explicit StockBrief(QWidget* parent = nullptr);

    // One label per concept name, two per row.
    void setConcepts(const QStringList& names);

    QGridLayout* conceptGrid = nullptr;

private:
    QFormLayout* form = nullptr;
};

class StockFinance : public QWidget
{
    Q_OBJECT
public:
    explicit StockFinance(QWidget* parent = nullptr);

    // Appends one row per report pair of `info`.
    void setData(const StockCompanyInfo& info);

    QFormLayout* form = nullptr;
    QList<QLabel*> labels;
};

class StockInfoBox : public QWidget
{
    Q_OBJECT
public:
    explicit StockInfoBox(QWidget* parent = nullptr);

    // Red text for a rising value, green for a falling one.
    static QPalette changePalette(double change, const QPalette& base);

    StockCompanyInfo info;
    StockBrief* brief = nullptr;
    StockFinance* finance = nullptr;
    QLabel* priceLabel = nullptr;
};
