#pragma once

// The failures of one run of many requests or writes, counted for the line a
// page shows beside what the run did bring: how many failed, and why the
// last one did. A plain value: it touches nothing and needs no widget, so
// the downloads' failures and the histories' unstored writes count alike.

#include <QString>

class FailureTally
{
public:
    // `failed` says what befell each one counted: "下载失败" for requests.
    explicit FailureTally(const QString& failed = QStringLiteral("下载失败"));

    void reset();
    // One failure; an empty reason is no failure.
    void add(const QString& reason);
    int count() const { return failures; }
    // "<count><unit><failed>，最近一次：<reason>" (unit e.g. "只股票", "次"),
    // or "" while nothing failed. When all the run's `attempts` failed,
    // "全部" stands before <failed> ("全部下载失败").
    QString text(const QString& unit, int attempts = -1) const;

private:
    QString failed;
    int failures = 0;
    QString lastReason;
};
