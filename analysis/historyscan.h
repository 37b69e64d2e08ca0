#pragma once

// The start of a scan over the stored daily histories (data/): the files it
// goes over, listed once when the scan starts, and what the page says when
// there are none. The scan pages, the add-on scan dialog and the back-test
// tabs start here; the call-auction page's scan takes the files of the
// start-up listing (core/startuplisting.h), which lists the folder once,
// beside the start. Whatever the scan, the worker reports its progress by one
// formula (StockThreadTarget, progressPercent).

#include <QMap>
#include <QString>
#include <QStringList>

class HistoryScanFiles final
{
public:
    // Lists data/ of the working folder now.
    HistoryScanFiles();

    // Whether data/ is there as a folder.
    bool hasFolder() const { return folderFound; }
    // Its history files by absolute path, in name order (historyFiles).
    QStringList paths() const { return files.keys(); }
    // The same as the file-scan worker takes them: each path as key and value.
    const QMap<QString, QString>& workMap() const { return files; }
    // Why there is nothing to scan, as the pages say it: that there are no
    // histories to scan yet (no folder) or no stock data (an empty folder),
    // and that the smart-comment page downloads them. Empty with files.
    QString nothingToScan() const;

private:
    bool folderFound = false;
    QMap<QString, QString> files;
};
