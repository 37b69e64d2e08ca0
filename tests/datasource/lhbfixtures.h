#pragma once

// Dragon-tiger pages as the providers lay them out, built from a few facts
// so that each test states only what it is about.

#include <QString>
#include <QStringList>

namespace lhbfixture {

struct ListedStock
{
    QString code;
    QString name;
    QString date;
    QString close = QStringLiteral("12.34");
    QString volume = QStringLiteral("1234.5");
    QString amount = QStringLiteral("5678.9");
};

inline QString reasonRow(const QString& reason)
{
    return QStringLiteral("<tr><td colspan=\"8\"><span style=\"font-weight:bold\">%1</span></td></tr>\n").arg(reason);
}

inline QString stockRow(const ListedStock& s)
{
    return QStringLiteral(
               "<tr>\n<td>1</td>\n"
               "<td><a href=\"http://biz.finance.sina.com.cn/suggest/lookup_n.php?q=%1&country=stock\" target=\"_blank\">%1</a></td>\n"
               "<td><a href=\"http://finance.sina.com.cn/realstock/company/%1/nc.shtml\" target=\"_blank\">%2</a></td>\n"
               "<td>%4</td>\n<td>5.67</td>\n<td> %5 </td>\n<td>%6</td>\n"
               "<td><a href=\"javascript:void(0)\" onclick=\"showDetail('%1','%3',this)\">明细</a></td>\n</tr>\n")
        .arg(s.code, s.name, s.date, s.close, s.volume, s.amount);
}

// The list page around `rows` (reason rows and stock rows in page order).
inline QString sinaListPage(const QString& rows)
{
    return QStringLiteral("<html><head><meta charset=\"gbk\"></head><body>\n"
                          "<table class=\"list_table\" id=\"dataTable\">\n"
                          "<tr class=\"head\"><td>序号</td><td>代码</td><td>名称</td><td>收盘价</td>"
                          "<td>对应值</td><td>成交量</td><td>成交额</td><td>查看详情</td></tr>\n")
        + rows + QStringLiteral("</table>\n<div class=\"pages\"><a href=\"#\">下一页</a></div>\n</body></html>\n");
}

struct SeatRow
{
    QString seat;
    QString buy;
    QString sell;
    QString net;
};

inline QString seatRow(int index, const SeatRow& s)
{
    return QStringLiteral(
               "<tr>\n<td>%1</td>\n"
               "<td><div class=\"sc-name\"><a href=\"/stock/lhb/yyb/8%1.html\">%2</a></a>"
               "<span class=\"times\">12次 </span><span class=\"percent\" title=\"成功率\">45.50%</span></div></td>\n"
               "<td>%3</td>\n<td>5.21%</td>\n<td>%4</td>\n<td class=\"g\">0.05%</td>\n<td>%5</td>\n</tr>\n")
        .arg(QString::number(index), s.seat, s.buy, s.sell, s.net);
}

// The seat page: the buy table, the sell table and the totals line.
inline QString eastmoneySeatPage(const QList<SeatRow>& buyers, const QList<SeatRow>& sellers)
{
    QString page = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"gb2312\"></head><body>\n"
                                  "<div class=\"content-sepe\">\n<table><thead><tr><th>序号</th></tr></thead>\n<tbody>\n");
    for (int i = 0; i < buyers.size(); ++i)
        page += seatRow(i + 1, buyers.at(i));
    page += QStringLiteral("</tbody></table>\n<table><tbody>\n");
    for (int i = 0; i < sellers.size(); ++i)
        page += seatRow(i + 1, sellers.at(i));
    page += QStringLiteral("</tbody>\n<tr class=\"total-tr\"><td><span>(买入前5名与卖出前5名)总合计:</span></td>"
                           "<td><span class=\"red\">9000.00</span></td><td><span>18.20%</span></td>"
                           "<td><span>3000.00</span></td><td><span>6.10%</span></td><td><span>6000.00</span></td></tr>\n"
                           "</table>\n</div>\n</body></html>\n");
    return page;
}

} // namespace lhbfixture
