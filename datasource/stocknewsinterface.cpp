#include "datasource/stocknewsinterface.h"

#include "core/textutils.h"
#include "datasource/providerhosts.h"

#include <QRegExp>

namespace {

// Everything between tags, trimmed: the texts of the diagnosis page sit in
// nested markup whose shape changes from block to block.
QString textOf(const QString& markup)
{
    QString text = markup;
    text.remove(QRegExp("<[^>]*>"));
    return text.trimmed();
}

// `match` without `head` characters in front and `tail` behind; empty when the
// match is shorter than the two together.
QString cut(const QString& match, int head, int tail)
{
    if (match.size() < head + tail)
        return QString();
    return match.mid(head, match.size() - head - tail);
}

// One index block: every list item's title, then the block's value text.
QString indexList(const QString& body, const QString& blockClass)
{
    const QString block = matchFirst(body, "<div class=\"" + blockClass + "\">(.*)</div>");
    if (block.isEmpty())
        return QString();
    QStringList lines;
    const QString itemHead = "<li title=\"";
    for (const QString& item : matchAll(block, "<li title=\"(.*)\""))
        lines.append(cut(item, itemHead.size(), 1).trimmed());
    const QString span = matchFirst(block, "<span>(.*)</span>");
    if (!span.isEmpty())
        lines.append(cut(span, 6, 7).trimmed());
    return lines.join('\n');
}

} // namespace

QStringList StockNewsInterface::urls(const QStringList& codes)
{
    QStringList list;
    for (const QString& code : codes) {
        const QString path = QString("/appstock/news/info/search?type=3&page=%1&n=6&symbol=%2"
                                     "&_appName=android&_net=WIFI&__random_suffix=%3")
                                 .arg(QString::number(1), marketCode(code), QString::number(randomSuffix()));
        list.append(providerUrl(Provider::QQKLine, path));
    }
    return list;
}

QVector<QMap<QString, QString> > StockNewsInterface::parse(const QString& body, const QString&)
{
    return parseJsonArray(body);
}

QStringList stockDoctorUrls(const QStringList& codes)
{
    QStringList list;
    for (const QString& code : codes)
        list.append(providerUrl(Provider::QQStockApp, "/doctor/" + marketCode(code) + ".html"));
    return list;
}

QStringList parseStockDoctor(const QString& body)
{
    const QString rank = matchFirst(body, "<div class=\"ranks(.*)\">");
    const QString head = matchFirst(body, "<div class=\"text-head\">(.*)</div>");
    if (rank.isEmpty() || head.isEmpty())
        return QStringList();

    // The rank is a class name ("ranks3"), not text: keep it from the tag.
    const QString rankClass = cut(rank, QString("<div class=\"").size(), 2).trimmed();
    QString comment = matchFirst(body, "<div class=\"text-content\"(.*)</div>");
    // The comment's opening tag may carry further attributes: drop it whole.
    comment = textOf(comment.mid(comment.indexOf('>') + 1));
    return QStringList { rankClass,
                         textOf(head),
                         comment,
                         indexList(body, "icon01"),
                         indexList(body, "icon02"),
                         textOf(matchFirst(body, "<span class=\"dqzs\">(.*)</span>")) };
}
