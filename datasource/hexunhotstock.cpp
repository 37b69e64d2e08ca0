#include "datasource/hexunhotstock.h"

#include "datasource/providerhosts.h"
#include "datasource/webinterface.h"

#include <QDomDocument>
#include <QDomElement>
#include <QRegExp>

QString hotStockRootUrl()
{
    return providerUrl(Provider::Hexun, "/");
}

QString hotStockRankingUrl(const QString& rootPage)
{
    // Only links into our own host count; the host is matched literally.
    const QString pattern = QRegExp::escape(providerBase(Provider::Hexun))
                            + "/service/stock_sort_xml\\.jsp(.*)&type=";
    const QStringList links = matchAll(rootPage, pattern);
    if (links.isEmpty())
        return QString();
    return links.last() + "1&start=0&count=30";
}

QVector<QStringList> parseHotStockXml(const QString& xml)
{
    QVector<QStringList> rows;
    QDomDocument document;
    if (!document.setContent(xml))
        return rows;
    const QDomElement root = document.documentElement();
    for (QDomElement row = root.firstChildElement(); !row.isNull(); row = row.nextSiblingElement()) {
        QStringList texts;
        for (QDomElement cell = row.firstChildElement(); !cell.isNull(); cell = cell.nextSiblingElement())
            texts.append(cell.text());
        rows.append(texts);
    }
    return rows;
}
