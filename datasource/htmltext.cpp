#include "datasource/htmltext.h"

#include "core/fileutils.h"

namespace {

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
           || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

bool isUnicodeEscape(const QString& text, int at)
{
    if (at + 6 > text.size() || text.at(at) != QLatin1Char('\\') || text.at(at + 1) != QLatin1Char('u'))
        return false;
    for (int i = at + 2; i < at + 6; ++i) {
        if (!isHexDigit(text.at(i)))
            return false;
    }
    return true;
}

} // namespace

// Built anew rather than replaced in place: every replacement in place moves
// the rest of the text, which makes a page full of escapes cost the square of
// its length. A character that an escape gives is never read again, so an
// escaped backslash followed by "u" and digits is not a second escape.
void unescapeUnicode(QString& text)
{
    if (!text.contains(QLatin1String("\\u")))
        return;
    QString result;
    result.reserve(text.size());
    int position = 0;
    while (position < text.size()) {
        if (isUnicodeEscape(text, position)) {
            result += QChar(text.midRef(position + 2, 4).toUShort(nullptr, 16));
            position += 6;
        } else {
            result += text.at(position++);
        }
    }
    text = result;
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
