#include "analysis/stockscanner.h"

StockScanner::StockScanner(QObject* parent) : QObject(parent) {}

StockScanner::~StockScanner() = default;

int StockScanner::category() const
{
    return NoScannerCategory;
}

int StockScanner::scan(const QString&, const QVector<Stock>&, QStringList*)
{
    return -1;
}

StockShapeScanner::StockShapeScanner(QObject* parent) : StockScanner(parent) {}
