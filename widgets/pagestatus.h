#pragma once

// A page's status line, and the words it uses when downloads fail: the page's
// own words first, then the reason the request gave (httpget.h,
// answerFailure); after what a run of many brought, how many of it failed
// (FailureTally, which this header brings along). A page that shows such a
// line keeps what it showed before the failure, so that an empty list always
// means a real "nothing". Below them, a page's one search at a time
// (SearchState).

#include "datasource/failuretally.h"

#include <QString>

class QLabel;
class QWidget;

// A plain-text label for a page's status, hidden while it has nothing to say;
// a long text is cut at the label's edge instead of widening the page, and
// shows whole in the tool tip.
QLabel* createStatusLabel(QWidget* parent);

// Lets `label` (plain text) cut a long text at its edge instead of widening
// its page; showStatus() puts the whole text into the tool tip.
void fitToPage(QLabel* label);

// Shows `text` on `label`, or hides the label for an empty text.
void showStatus(QLabel* label, const QString& text);

// "<what>失败：<reason>", e.g. "龙虎榜下载失败：HTTP 500 Internal Server Error".
QString failureText(const QString& what, const QString& reason);

// `result` followed by "；" and `failures` when there are any.
QString withFailures(const QString& result, const QString& failures);

// ---------------------------------------------------------------------------
// One search at a time

// A page's search from its start until the page learns its end. A download
// queue reports the end after its last page, a tick queue when it runs dry,
// and the page takes clicks meanwhile (the blocking GET serves events while
// it waits): a second search inside the first would list every row twice.
// The rows shown stay until the search's first answer replaces them, so that
// a search that brings nothing keeps them.
// (A page whose one request answers at once, and whose late answer must not
// show, takes a LatestRequest instead: widgets/latestrequest.h.)
//
//   if (!search.begin())             // one runs: its rows are on their way
//       return;
//   ... on every answer:  if (search.takeFirstAnswer()) clear the rows;
//   ... at the end:       search.end();
class SearchState
{
public:
    // A search starts: false, and nothing changes, while one is busy.
    Q_REQUIRED_RESULT bool begin();
    // The search ended, whether anything came or not.
    void end();
    // From begin() until end().
    bool busy() const { return running; }
    // True from begin() until the search's first answer or its end.
    bool awaitingFirstAnswer() const { return awaitingFirst; }
    // True once a search, for its first answer (the one that replaces the
    // rows shown); false for later answers and outside a search.
    bool takeFirstAnswer();

private:
    bool running = false;
    bool awaitingFirst = false;
};
