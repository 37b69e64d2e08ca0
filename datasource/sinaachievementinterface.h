#pragma once

// The quarterly earnings report table of the Sina finance host, read page by
// page. Each table row becomes a text map with the keys "code", "name", "eps",
// "eps_r", "navps", "roe", "cps", "netprofit", "netprofit_percent" and "date";
// the values are the page's texts, unconverted.

#include "datasource/webinterface.h"

class SinaAchievementInterface final : public StringMapInterface
{
public:
    // args[0] the report year ("yyyy"), args[1] the quarter ("1" to "4"):
    // the URLs of pages 1 to 20, in order.
    QStringList urls(const QStringList& args) override;
    // `extra` is not used. A page past the end of the report gives no rows.
    QVector<QMap<QString, QString> > parse(const QString& body, const QString& extra) override;
    // The table between its head and the clearing div below it; or the whole
    // page without the table, which the host serves past the last page of a
    // report and for a quarter it has no report of yet: the end of the report,
    // not a failure.
    bool hasForm(const QString& body) const override;
};
