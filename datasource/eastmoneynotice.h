#pragma once

// The two notice-family sources of the Eastmoney data host. Both read the JSON
// block that the host embeds in an HTML page and cut it apart with fixed
// offsets; neither keeps state nor writes files, so one object may serve any
// number of downloads.

#include "datasource/webinterface.h"

// The latest company notices, one page per notice type. Records carry code,
// name, date ("yyyy-MM-dd") and the fields "title" and "type".
class EastmoneyInterface final : public NoticeInterface
{
public:
    // One page per argument, the argument being the notice type number.
    QStringList urls(const QStringList& args) override;
    // `extra` is not used. Records of pieces without a code are kept (with an
    // empty code); callers skip them.
    QVector<Data> parse(const QString& body, const QString& extra) override;
    // The page's JSON block (captureNoticeJson).
    bool hasForm(const QString& body) const override;
};

// The list of trading suspensions and resumptions. Records carry code, name,
// date and the fields "stopDate", "span" and "desc".
class EastmoneyRecoveryTransactionInterface final : public NoticeInterface
{
public:
    // Always the one list page; the arguments are ignored.
    QStringList urls(const QStringList& args) override;
    // `extra` is not used. Record texts too short to hold every item are skipped.
    QVector<Data> parse(const QString& body, const QString& extra) override;
    // The page's JSON block (captureRecoveryJson).
    bool hasForm(const QString& body) const override;
};
