#include "datasource/htmltext.h"

#include "core/fileutils.h"

#include <QRegExp>

void unescapeUnicode(QString& text)
{
    QRegExp escape(QStringLiteral("(\\\\u[0-9a-fA-F]{4})"));
    int position = 0;
    while ((position = escape.indexIn(text, position)) != -1) {
        bool ok = false;
        const ushort code = escape.cap(1).right(4).toUShort(&ok, 16);
        text.replace(position, 6, QChar(code));
        // resume after the new character so that an escaped backslash
        // followed by "u" and digits is not read as a second escape
        position += 1;
    }
}

QString fillTemplate(const QString& path, const QString& content)
{
    QString page = loadTemplate(path);
    QString body = content;
    unescapeUnicode(body);
    return page.replace(QStringLiteral("#CONTENT"), body, Qt::CaseSensitive);
}

QString htmlTableCell(const QString& text, int width)
{
    if (width != 0)
        return QStringLiteral("<td width=\"%1\">%2</td>").arg(width).arg(text);
    return QStringLiteral("<td>%1</td>").arg(text);
}

QString htmlTable(const QVector<QPair<QString, QString> >& rows, int firstWidth, int secondWidth)
{
    QString html = QStringLiteral("<table><tbody>");
    for (const auto& pair : rows) {
        html += QStringLiteral("<tr>");
        html += htmlTableCell(pair.first, firstWidth);
        html += htmlTableCell(pair.second, secondWidth);
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</tbody></table>");
    return html;
}

QString safeHtmlText(const QString& text)
{
    QString plain = text;
    unescapeUnicode(plain);
    QString html = plain.toHtmlEscaped();
    html.replace(QLatin1Char('\''), QStringLiteral("&#39;"));
    html.replace(QLatin1Char('\\'), QStringLiteral("&#92;"));
    return html;
}

QString fillPlaceholders(const QString& pattern, const QStringList& values)
{
    QString result;
    result.reserve(pattern.size());
    const int count = values.size();
    int i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('%') && i + 1 < pattern.size() && pattern.at(i + 1).isDigit()) {
            int number = pattern.at(i + 1).digitValue();
            int length = 2;
            if (i + 2 < pattern.size() && pattern.at(i + 2).isDigit()) {
                const int twoDigits = number * 10 + pattern.at(i + 2).digitValue();
                if (twoDigits >= 1 && twoDigits <= count) {
                    number = twoDigits;
                    length = 3;
                }
            }
            if (number >= 1 && number <= count) {
                result += values.at(number - 1);
                i += length;
                continue;
            }
        }
        result += c;
        ++i;
    }
    return result;
}
