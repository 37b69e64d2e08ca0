#include "datasource/storedhistory.h"

#include "core/fileutils.h"
#include "core/textutils.h"
#include "datasource/klinebars.h"
#include "datasource/poolaccess.h"
#include "datasource/stockifenginterface.h"

namespace {

// The whole text of the file at `path`; empty for a file that does not read.
QString storedText(const QString& path)
{
    QString text = loadTemplate(path);
    if (isLoadTemplateFailure(text))
        return QString();
    return text;
}

} // namespace

QString historyCode(const QString& path)
{
    return path.right(6);
}

QString historyPath(const QString& code)
{
    return QString::fromLatin1(kHistoryFolder) + code;
}

QVector<Stock> readHistoryFile(const QString& path)
{
    return readKLineBars(storedText(path), historyCode(path));
}

QVector<Stock> readDataHistory(const QString& code)
{
    if (!isStockCodeForPath(code))
        return {};
    return readHistoryFile(historyPath(code));
}

QVector<Stock> readDownloadedHistory(const QString& code)
{
    if (!isStockCodeForPath(code))
        return {};
    return parseIFengHistory(storedText(QString::fromLatin1(kDownloadFolder) + code), code, applicationStockPool());
}

QStringList readMarkedCodes()
{
    const QString text = storedText(QString::fromLatin1(kMarkedCodesFile));
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char(','));
}

void writeMarkedCodes(const QStringList& codes)
{
    writeFile(QString::fromLatin1(kMarkedCodesFile), codes.join(QLatin1Char(',')));
}

StockQQHistoryInterface storedDailySource()
{
    StockQQHistoryInterface source;
    source.setParameter(CacheDirParameter, QString::fromLatin1(kHistoryFolder));
    source.setParameter(AdjustParameter, QStringLiteral("qfq"));
    source.setParameter(PeriodParameter, QStringLiteral("day"));
    return source;
}

UnstoredHistories::UnstoredHistories()
    : FailureTally(QStringLiteral("的历史数据保存失败"))
{
}

QString UnstoredHistories::text() const
{
    return FailureTally::text(QStringLiteral("只股票"));
}
