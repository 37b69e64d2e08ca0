#pragma once

// A page's status line, and the words it uses when downloads fail: the page's
// own words first, then the reason the request gave (httpget.h,
// answerFailure). A page that shows such a line keeps what it showed before
// the failure, so that an empty list always means a real "nothing".

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

// The failed requests of one run of many: how many, and the last reason.
class FailureTally
{
public:
    void reset();
    // A request's failure; an empty reason is no failure.
    void add(const QString& reason);
    int count() const { return failures; }
    // "<count><unit>下载失败，最近一次：<reason>" (unit e.g. "只股票", "次"),
    // or "" while nothing failed. When all the run's `attempts` failed, it
    // says "全部下载失败" instead.
    QString text(const QString& unit, int attempts = -1) const;

private:
    int failures = 0;
    QString lastReason;
};

// `result` followed by "；" and `failures` when there are any.
QString withFailures(const QString& result, const QString& failures);
