#pragma once

// The daily histories the program keeps in data/ of its working folder, one
// file a stock named by its code, each the K-line service's answer as it came
// (the format readKLineBars reads), and what is kept beside them: the data
// update dialog's downloads and the codes the smart-comment scan marked.
// Every page reads these files through here, under the folder names of
// core/datafolders.h (the start-up makes those folders before any source
// runs). The histories of data/ are written by the source storedDailySource
// gives, whose parse stores each whole answer (datasource/historystore.h);
// the marked codes by writeMarkedCodes. Any thread may read: none of the
// functions keeps state.

#include "core/datafolders.h"
#include "core/stock.h"
#include "datasource/failuretally.h"
#include "datasource/stockqqhistoryinterface.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The index whose history is kept beside the pool's: the smart-comment scan
// downloads it with every run, and the new-stock page heads its list with it.
constexpr char kIndexCode[] = "399678";

// The code a history file is named by: the last six characters of its path.
QString historyCode(const QString& path);
// The path of the history of `code` in data/, relative to the working
// folder; whether `code` may name a file at all is the caller's question
// (isStockCodeForPath).
QString historyPath(const QString& code);

// The bars of the history stored at `path`, each with historyCode(path) as
// its code; none for a file that does not read.
QVector<Stock> readHistoryFile(const QString& path);

// The bars of the history of `code` in data/; none for a code that is not
// six digits (list items and an add-on's reports are text, never a path) or
// a file that does not read.
QVector<Stock> readDataHistory(const QString& code);

// The data update dialog's download of `code` (data/dl/, the iFeng
// format), guarded as readDataHistory is.
QVector<Stock> readDownloadedHistory(const QString& code);

// The codes marked in data/none; none when the file does not read.
QStringList readMarkedCodes();
// Replaces the marked codes, written whole.
void writeMarkedCodes(const QStringList& codes);

// The source of the pages that keep daily histories for the scans (the
// smart-comment and end-of-day pages): days, forward adjusted, each answer
// that parses stored in data/.
StockQQHistoryInterface storedDailySource();

// The histories of one run of many that came but could not be stored (a
// full disk, an unwritable data/): how many, and why the last one was not,
// for the page's status line beside the bars it shows. add() takes why one
// history was not stored (HistoryOutcome::notStored); an empty reason is a
// history stored.
class UnstoredHistories : public FailureTally
{
public:
    UnstoredHistories();
    // "<count>只股票的历史数据保存失败，最近一次：<reason>", or "" while every
    // history was stored.
    QString text() const;
};
