#include "datasource/hexunhotstock.h"

#include "datasource/providerhosts.h"
#include "datasource/webinterface.h"

#include <QDomDocument>
#include <QDomElement>
#include <QRegExp>
#include <QXmlStreamReader>

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

namespace {

// A ranking is three elements deep; the document reader descends one call per
// element, so a page of a hundred thousand nested elements would take minutes
// or overflow the stack.
const int kMostNesting = 32;

// Reads the document once, element by element without recursion: true when
// it is well-formed and nested no deeper than the ranking ever is.
bool isShallowDocument(const QString& xml)
{
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > kMostNesting)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return !reader.hasError();
}

// The parsed document; false when `xml` is no document the ranking can be.
// An error page written as well-formed XHTML parses too, but is no ranking.
bool readRanking(const QString& xml, QDomDocument& document)
{
    if (!isShallowDocument(xml) || !document.setContent(xml))
        return false;
    return document.documentElement().tagName().compare(QLatin1String("html"), Qt::CaseInsensitive) != 0;
}

} // namespace

QVector<QStringList> parseHotStockXml(const QString& xml)
{
    QVector<QStringList> rows;
    QDomDocument document;
    if (!readRanking(xml, document))
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

bool hasHotStockRankingForm(const QString& xml)
{
    QDomDocument document;
    return readRanking(xml, document);
}
