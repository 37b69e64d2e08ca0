#pragma once

// Pages of the quarterly earnings report in the host's markup: a table whose
// rows open with the code cell (styled with a width) and close with a link
// cell, between the end of the table head and a clearing div.

#include <QString>
#include <QStringList>

struct EarningsRow
{
    QString code;
    QString name;
    QString netprofit = "10.2";
};

inline QString earningsRowMarkup(const EarningsRow& row)
{
    QString markup = QString("<tr>\n<td style=\"width:60px\"><a href=\"/q/%1\">%1</a><i></i></td>\n"
                             "<td><a href=\"/q/%1\">%2</a><br /></td>\n")
                         .arg(row.code, row.name);
    const QStringList values = {"0.52", "-3.7", "9.80", "5.31", "1.20", row.netprofit, "12.5", "x", "2017-10-30"};
    for (const QString& value : values)
        markup += QString("<td>%1</td>").arg(value);
    markup += "\n<td><a href=\"/detail\">明细</a></td>\n</tr>\n";
    return markup;
}

inline QString earningsPage(const QList<EarningsRow>& rows)
{
    QString page = "<html><table><thead><tr><td style=\"width:60px\">代码</td><td>名称</td></tr></thead>\n<tbody>";
    for (const EarningsRow& row : rows)
        page += earningsRowMarkup(row);
    return page + "</tbody></table>\n<div class=\"clear\"></div></html>";
}

// What the host serves past the last page of a report, and for a quarter it
// has no report of yet: its page frame, clearing div and all, without the table.
inline QString earningsEndPage()
{
    return "<html>\n<div class=\"clear\"></div></html>";
}
