#include "analysis/historyscan.h"

#include "core/fileutils.h"
#include "datasource/storedhistory.h"

#include <QDir>

HistoryScanFiles::HistoryScanFiles()
{
    const QString folder = QString::fromLatin1(kHistoryFolder);
    folderFound = QDir(folder).exists();
    if (folderFound)
        files = historyFileMap(folder);
}

QString HistoryScanFiles::nothingToScan() const
{
    if (!folderFound)
        return QStringLiteral("没有可扫描的历史数据(data/),请先用智能点评下载");
    if (files.isEmpty())
        return QStringLiteral("无股票数据请先使用智能点评搜索股票数据之后再进行分析");
    return QString();
}
