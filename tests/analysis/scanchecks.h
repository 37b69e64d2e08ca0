#pragma once

// Table-driven scanner checks: each row holds the bars, the signal expected and
// the texts the scanner appends for them.

#include "analysis/stockscanner.h"
#include "core/stock.h"

#include <QtTest>

Q_DECLARE_METATYPE(QVector<Stock>)

inline void addScanColumns()
{
    QTest::addColumn<QVector<Stock>>("bars");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QStringList>("texts");
}

inline void verifyScan(StockScanner& scanner)
{
    QFETCH(QVector<Stock>, bars);
    QFETCH(int, signal);
    QFETCH(QStringList, texts);
    QStringList out;
    QCOMPARE(scanner.scan(QStringLiteral("600000"), bars, &out), signal);
    QCOMPARE(out, texts);
    // Without an output list the signal stays the same.
    QCOMPARE(scanner.scan(QStringLiteral("600000"), bars, nullptr), signal);
}
