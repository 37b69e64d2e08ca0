#pragma once

// Daily, weekly or monthly K-line history with price adjustment from the QQ
// finance K-line service, and the keys by which the history sources are set.
// The response body is also the format of the history files under data/,
// which datasource/storedhistory reads: parse reads a download and a stored
// file alike (readKLineBars), and, given a cache directory and a code, stores
// the body it parsed (storeHistoryBody, datasource/historystore.h), the one
// file it may write. fetchQQHistory and loadQQHistory fetch with httpGet.

#include "datasource/webinterface.h"

// The keys of StockInterface::setParameter for the history sources (the iFeng
// source knows the first only).
enum HistoryParameter : int
{
    CacheDirParameter = 0,   // the folder a parsed answer is stored in, with its trailing "/"
    AdjustParameter = 1,     // "bfq", "qfq" or "hfq"
    PeriodParameter = 2,     // "day", "week" or "month"
};

class StockQQHistoryInterface : public StockInterface
{
public:
    QString cacheDir;         // prefix with trailing "/"; empty stores nothing
    QString adjust = "hfq";   // "bfq" none, "qfq" forward, "hfq" backward
    QString period = "day";   // "day", "week" or "month"

    // One URL per code, in order.
    QStringList urls(const QStringList& codes) override;
    // The bars of the first array of arrays, oldest first, each with `code`;
    // none from a body without that array. With a cacheDir set, none either
    // from a body that is no whole answer for the stock: its array does not
    // close ("]]", a download cut off), a piece of it is no bar (too short,
    // empty) or a bar holds a word where a number belongs, the dates do not
    // rise from bar to bar, or its data key is not the request's own
    // ("sh"/"sz" + code, as urls asks). The body is stored as cacheDir +
    // code only when it gave at least one bar and the code is fit for a path
    // (six digits), written whole.
    QVector<Stock> parse(const QString& body, const QString& code) override;
    // parse, saying in `notStored` why bars that came were not stored (a full
    // disk, an unwritable folder: storeHistoryBody); empty otherwise.
    QVector<Stock> parse(const QString& body, const QString& code, QString* notStored);
    // The keys above: CacheDirParameter (any value),
    // AdjustParameter and PeriodParameter (only the exact names above,
    // case-sensitive); other keys and values are ignored.
    void setParameter(int key, const QString& value) override;
};

// What a fetch of one history came to besides its bars, for the page that
// asked.
struct HistoryOutcome
{
    // Why the fetch gave no bars: the request's reason (httpGet), or
    // unreadableAnswer() for a body that is no whole answer (parse). Empty
    // when bars came, and when the service answered for the stock that it
    // has no bars of it (a code it does not know): that answer is the one
    // fact about the stock a fetch can give.
    QString failure;
    // Why the bars that came were not stored; empty when they were.
    QString notStored;
};

// Fetches one stock's history anew with the settings of `source` (blocking,
// httpGet with `owner` as there: an error page is no history) and stores the
// body as parse does. `source` is read before the request only, so it may go
// with its page meanwhile. `outcome` (when given) says what failed.
QVector<Stock> fetchQQHistory(const StockQQHistoryInterface& source, const QString& code,
                              const QObject* owner = nullptr, HistoryOutcome* outcome = nullptr);

// fetchQQHistory with a source of these settings. A period or adjustment that
// is not one of the names keeps "day" or "hfq".
QVector<Stock> loadQQHistory(const QString& code, const QString& period, const QString& adjust,
                             const QString& cacheDir, HistoryOutcome* outcome = nullptr);

// The stock a QQ finance answer is for: the key under "data" whose object
// holds position `at` of the body ({"code":0,"data":{"sh600000":{"qfqday":
// [[...). Empty when `at` lies in no such object.
QString qqDataKey(const QString& body, int at);
// The stock a QQ finance answer names first under "data", wherever its
// object ends; empty for a body without one.
QString qqDataKey(const QString& body);
