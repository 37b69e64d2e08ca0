#include "datasource/historystore.h"

#include "core/fileutils.h"
#include "core/textutils.h"

QVector<Stock> storeHistoryBody(QVector<Stock> bars, bool whole, const QString& body, const QString& cacheDir,
                                const QString& code, QString* notStored)
{
    if (notStored)
        notStored->clear();
    if (cacheDir.isEmpty())
        return bars;
    if (!whole)
        return QVector<Stock>();
    if (!bars.isEmpty() && isStockCodeForPath(code)) {
        const QString path = cacheDir + code;
        if (!saveWhole(path, body.toUtf8()) && notStored)
            *notStored = saveFailureReason(path);
    }
    return bars;
}
