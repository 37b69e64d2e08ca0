#include "datasource/sinaachievementinterface.h"

#include "datasource/providerhosts.h"

namespace {

const int kPages = 20;
const int kCells = 12;

// "<td>" and "</td>" around the value of a plain cell.
QString plainCell(const QString& cell)
{
    const int length = cell.size() - 4 - 5;
    return length > 0 ? cell.mid(4, length) : QString();
}

// The code sits in front of 16 characters of closing markup.
QString codeCell(const QString& cell)
{
    return cell.size() >= 22 ? cell.mid(cell.size() - 22, 6) : QString();
}

// The name is the text behind the link's last tag; the host keeps it within
// the cell's last 20 characters.
QString nameCell(const QString& cell)
{
    QString name = cell.right(20);
    if (name.startsWith('>'))
        name.remove(0, 1);
    const int end = name.indexOf('<');
    if (end >= 0)
        name.truncate(end);
    // a short name leaves part of the opening tag inside the window
    const int tagEnd = name.lastIndexOf('>');
    if (tagEnd >= 0)
        name.remove(0, tagEnd + 1);
    return name;
}

QMap<QString, QString> rowFromCells(const QStringList& cells)
{
    static const char* const numberKeys[] = {"eps", "eps_r", "navps", "roe", "cps", "netprofit",
                                             "netprofit_percent"};
    QMap<QString, QString> row;
    row.insert("code", codeCell(cells.at(0)));
    row.insert("name", nameCell(cells.at(1)));
    int column = 2;
    for (const char* key : numberKeys)
        row.insert(QString::fromLatin1(key), plainCell(cells.at(column++)));
    row.insert("date", plainCell(cells.at(10)));
    return row;
}

const char kClearingDiv[] = "<div class=\"clear\"></div>";

QString reportTable(const QString& body)
{
    return matchFirst(body, QStringLiteral("</thead>(.*)") + QLatin1String(kClearingDiv));
}

// The host's page frame closed by "</html>", with its clearing div and no
// table head. A cut page lacks the close; an error page, a busy notice of a
// proxy among them, lacks the clearing div.
bool isPageWithoutTable(const QString& body)
{
    return body.trimmed().endsWith(QLatin1String("</html>"), Qt::CaseInsensitive)
        && body.contains(QLatin1String(kClearingDiv), Qt::CaseInsensitive)
        && !body.contains(QLatin1String("</thead>"), Qt::CaseInsensitive);
}

} // namespace

QStringList SinaAchievementInterface::urls(const QStringList& args)
{
    const QString path = QStringLiteral(
        "/q/go.php/vFinanceAnalyze/kbind/preformance/index.phtml?s_i=&s_a=&s_c=&reportdate=%1&quarter=%2&p=%3&page=30");
    QStringList result;
    for (int page = 1; page <= kPages; ++page)
        result.append(providerUrl(Provider::SinaFinance, path.arg(args.value(0), args.value(1), QString::number(page))));
    return result;
}

QVector<QMap<QString, QString> > SinaAchievementInterface::parse(const QString& body, const QString&)
{
    QVector<QMap<QString, QString> > rows;
    const QString table = reportTable(body);
    if (table.isEmpty())
        return rows;
    for (const QString& rowText : matchAll(table, "<td style=\"width(.*)</a></td>")) {
        const QStringList cells = matchAll(rowText, "<td(.*)</td>");
        if (cells.size() == kCells)
            rows.append(rowFromCells(cells));
    }
    return rows;
}

bool SinaAchievementInterface::hasForm(const QString& body) const
{
    return !reportTable(body).isEmpty() || isPageWithoutTable(body);
}
