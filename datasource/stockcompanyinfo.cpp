#include "datasource/stockcompanyinfo.h"

#include "core/datafolders.h"
#include "core/fileutils.h"
#include "core/textutils.h"
#include "datasource/htmltext.h"
#include "datasource/httpget.h"
#include "datasource/poolaccess.h"
#include "datasource/providerhosts.h"
#include "datasource/webinterface.h"

#include <QRegExp>
#include <cstdlib>

namespace {

// The value of a "key":"value" (or "key":value") match: what follows the
// last quote once the match's final character is dropped.
QString captureValue(const QString& text, const QString& pattern)
{
    const QString match = matchFirst(text, pattern);
    if (match.isEmpty())
        return QString();
    const QString rest = match.left(match.size() - 1);
    return rest.mid(rest.lastIndexOf(QLatin1Char('"')) + 1);
}

QStringList captureQuotedNames(const QString& text, const QString& pattern)
{
    QStringList names;
    for (const QString& match : matchAll(text, pattern)) {
        const QString rest = match.left(match.lastIndexOf(QLatin1Char('"')));
        names << rest.mid(rest.lastIndexOf(QLatin1Char('"')) + 1);
    }
    return names;
}

// One "{...}" piece of a flat JSON row: quotes gone, keys and values as one list.
QStringList pairItems(QString piece)
{
    piece.remove(QLatin1Char('"'));
    piece.replace(QLatin1Char(':'), QLatin1Char(','));
    return piece.split(QLatin1Char(','));
}

}   // namespace

bool StockCompanyInfo::parse(const QString& text)
{
    m_gsmz = captureValue(text, QStringLiteral("\"gsmz\":\"(.*)\""));
    if (m_gsmz.isEmpty())
        return false;
    m_riqi = captureValue(text, QStringLiteral("\"riqi\":\"(.*)\""));
    m_jg = captureValue(text, QStringLiteral("\"jg\":\"(.*)\""));
    m_fxs = captureValue(text, QStringLiteral("\"fxs\":\"(.*)\""));
    m_yw = captureValue(text, QStringLiteral("\"yw\":\"(.*)\""));
    m_dy = captureValue(text, QStringLiteral("\"dy\":\"(.*)\""));
    m_hy = captureValue(text, QStringLiteral("\"hy\":\"(.*)\""));

    const QString conceptBlock = matchFirst(text, QStringLiteral("\"concept\":(.*)\"yysr"));
    if (conceptBlock.isEmpty())
        return false;
    m_concepts = captureQuotedNames(conceptBlock, QStringLiteral("\"name\":\"(.*)\""));

    parseIncome(text);
    parseDividends(text);
    parseReports(text);
    parseHolders(text);

    // The share counts are numbers without quotes ("ZGB":123456.7,"LTGB":...):
    // keep only what follows the colon, up to the separator.
    auto shareValue = [&conceptBlock](const QString& key) {
        QRegExp rx(QStringLiteral("\"%1\":\\s*(\"([^\"]*)\"|([^,}\\]\\s]*))").arg(key), Qt::CaseInsensitive);
        if (rx.indexIn(conceptBlock) == -1)
            return QString();
        return rx.cap(1).startsWith(QLatin1Char('"')) ? rx.cap(2).trimmed() : rx.cap(3);
    };
    m_zgb = shareValue(QStringLiteral("ZGB"));
    m_ltgb = shareValue(QStringLiteral("LTGB"));
    m_gdrs = shareValue(QStringLiteral("GDRS"));
    m_sqGdrs = shareValue(QStringLiteral("SQ_GDRS"));
    m_rjcg = shareValue(QStringLiteral("RJCG"));
    return true;
}

void StockCompanyInfo::parseIncome(const QString& text)
{
    const QString section = matchFirst(text, QStringLiteral("\"yysr\"(.*)\\]")).mid(9);
    if (section.isEmpty())
        return;
    for (const QString& piece : section.split(QStringLiteral("},{"))) {
        const QStringList items = pairItems(piece);
        if (items.size() >= 6)
            m_yysr.append({items.at(1), items.at(3), items.at(5)});
    }
}

void StockCompanyInfo::parseDividends(const QString& text)
{
    const QString match = matchFirst(text, QStringLiteral("\"fenhong\"(.*)\\]"));
    const int bracket = match.indexOf(QLatin1Char('['));
    if (bracket == -1)
        return;
    for (const QString& piece : match.mid(bracket + 1).split(QStringLiteral("},{"))) {
        const QStringList items = pairItems(piece);
        if (items.size() >= 12)
            m_fenhong.append({items.at(1), items.at(3), items.at(5), items.at(7), items.at(9),
                              items.at(11).left(10)});
    }
}

void StockCompanyInfo::parseReports(const QString& text)
{
    QString section = matchFirst(text, QStringLiteral("\"cwbb\":(.*)\\]\\]\\]\\]")).mid(11);
    if (section.isEmpty())
        return;
    section.remove(QLatin1Char('"'));
    for (const QString& piece : section.split(QStringLiteral("]],[["))) {
        const QStringList items = piece.split(QLatin1Char(','));
        if (items.size() < 4)
            continue;
        QString first = items.at(0);
        if (first.startsWith(QLatin1Char('[')))
            first.remove(0, 1);
        m_cwbb.append({first, items.at(2)});
    }
}

void StockCompanyInfo::parseHolders(const QString& text)
{
    QString section = matchFirst(text, QStringLiteral("\"gudong\"(.*)\\}\\]")).mid(11);
    if (section.isEmpty())
        return;
    section.remove(QLatin1Char('"'));
    section.chop(2);
    for (const QString& piece : section.split(QStringLiteral("},{"))) {
        const QStringList items = pairItems(piece);
        if (items.size() < 20)
            continue;
        m_gudong.append({items.at(1), items.at(3), items.at(5), items.at(7), items.at(9),
                         items.at(11), items.at(13), items.at(15), items.at(17), items.at(19)});
    }
}

bool hasCompanyInfoForm(const QString& text)
{
    StockCompanyInfo info;
    return text.trimmed().endsWith(QLatin1Char('}')) && info.parse(text);
}

QString companyInfoUrl(const QString& code)
{
    const QString symbol = (code.startsWith(QLatin1Char('6')) ? QStringLiteral("sh") : QStringLiteral("sz")) + code;
    return providerUrl(Provider::QQKLine, QStringLiteral("/stock/corp/cwbb/search?symbol=%1&type=sum&jianjie=1&_appName=android&_net=WIFI&__random_suffix=%2")
              .arg(symbol).arg(randomSuffix()));
}

QString htmlRow(const QString& text)
{
    return QStringLiteral("<tr>%1</tr>").arg(text);
}

QString htmlTag(const QString& text, const QString& tag)
{
    return QStringLiteral("<%2>%1</%2>").arg(text, tag);
}

QString fundHoldingsTemplate()
{
    return QStringLiteral("<h5>基金持股数据</h5><table class=\"tftable\" border=\"1\">%1</table>");
}

QString topHoldersHtml(const QVector<StockHolder>& holders)
{
    QString rows = htmlRow(htmlTag(QStringLiteral("序号"), QStringLiteral("th"))
                           + htmlTag(QStringLiteral("股东"), QStringLiteral("th"))
                           + htmlTag(QStringLiteral("占比"), QStringLiteral("th"))
                           + htmlTag(QStringLiteral("类型"), QStringLiteral("th")));
    for (const StockHolder& holder : holders) {
        rows += htmlRow(htmlTableCell(safeHtmlText(holder.value4), 0)
                        + htmlTableCell(safeHtmlText(holder.value5), 0)
                        + htmlTableCell(safeHtmlText(holder.value8) + QLatin1Char('%'), 0)
                        + htmlTableCell(safeHtmlText(holder.value6), 0));
    }
    return QStringLiteral("<h6>前10流通股东</h6><table class=\"tftable\" border=\"1\">%1</table>").arg(rows);
}

QString loadCompanyText(const QString& code, const QObject* owner, QString* failure)
{
    if (failure)
        failure->clear();
    // Only a plain code may become part of a path or a request.
    if (!isStockCodeForPath(code))
        return QString();
    const QString stored = loadTemplate(QString::fromLatin1(kProfileFolder) + code);
    if (!stored.isEmpty() && !isLoadTemplateFailure(stored))
        return stored;
    return httpGet(companyInfoUrl(code), owner, failure);
}

QString stockHolderHtml(const QString& stock, const QString& text)
{
    StockCompanyInfo info;
    if (!info.parse(text))
        return QString();
    return QStringLiteral("<h5>%1</h5>").arg(safeHtmlText(stock)) + topHoldersHtml(info.gudong());
}

QString companyDescriptionHtml(const QString& code, const QString& text)
{
    StockCompanyInfo info;
    if (!info.parse(text))
        return QString();

    QString concepts;
    for (const QString& name : info.concepts())
        concepts += QStringLiteral("<span class=\"label label-default\"> %1 </span>").arg(safeHtmlText(name));

    QString revenue;
    for (const StockIncomeRow& line : info.yysr()) {
        revenue += QStringLiteral("<h6>%1<span class=\"label label-default\"> %2</span></h6>")
                       .arg(safeHtmlText(line.value1), safeHtmlText(line.value2));
        revenue += QLatin1Char('\t');
    }

    const QString name = applicationStockPool().value(code).name;
    const QString title = QStringLiteral("%1(%2)").arg(safeHtmlText(name), safeHtmlText(code));

    const QString page = loadTemplate(QStringLiteral("assets/basic"));
    const QStringList fields = {title,
                                safeHtmlText(info.hy()),
                                concepts,
                                safeHtmlText(info.gsmz()),
                                safeHtmlText(info.riqi()),
                                safeHtmlText(info.jg()),
                                safeHtmlText(info.yw()),
                                safeHtmlText(info.zgb()),
                                safeHtmlText(info.ltgb()),
                                safeHtmlText(info.gdrs()),
                                info.emptyField()};
    return fillPlaceholders(page, fields) + revenue;
}
