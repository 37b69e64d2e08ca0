#include "analysis/candlepatternfile.h"

#include "analysis/candlepatterns.h"
#include "core/fileutils.h"
#include "datasource/stocktushareinterface.h"

#include <QFileInfo>

bool detectKPatternInFile(int id, const QString& path, QVector<Stock>* bars, QString* name)
{
    QVector<Stock> read;
    const QString text = loadTemplate(path);
    // The failure text of a missing file is no CSV; it must not be parsed.
    if (!isLoadTemplateFailure(text)) {
        StockTuShareInterface source;
        read = source.parse(text, QFileInfo(path).fileName());
    }
    const bool found = detectKPattern(id, read, name);
    if (bars)
        *bars = read;
    return found;
}
