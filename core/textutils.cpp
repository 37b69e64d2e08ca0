#include "core/textutils.h"

#include <QRegExp>
#include <QTextCodec>

#include <cstring>

namespace {

QByteArray untilZeroByte(const QByteArray& bytes)
{
    // memchr compares a word at a time; indexOf goes byte by byte, which costs
    // more than the decoding on a stored history.
    const char* zero = static_cast<const char*>(std::memchr(bytes.constData(), 0, size_t(bytes.size())));
    return zero ? bytes.left(int(zero - bytes.constData())) : bytes;
}

} // namespace

QString decodeText(const QByteArray& bytes, const QByteArray& declaredCharset)
{
    const QByteArray text = untilZeroByte(bytes);
    if (!declaredCharset.isEmpty()) {
        if (QTextCodec* codec = QTextCodec::codecForName(declaredCharset.trimmed()))
            return codec->toUnicode(text);
    }
    QTextCodec::ConverterState state;
    const QString utf8 = QTextCodec::codecForName("UTF-8")->toUnicode(text.constData(), text.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return utf8;
    return QTextCodec::codecForName("GB18030")->toUnicode(text);
}

QStringList splitLines(const QString& text)
{
    QStringList lines = text.split('\n', Qt::KeepEmptyParts);
    for (QString& line : lines)
        line = line.trimmed();
    return lines;
}

QString firstCapture(const QString& text, const QString& pattern)
{
    QRegExp expression(pattern, Qt::CaseInsensitive);
    expression.setMinimal(true);
    if (expression.indexIn(text) < 0)
        return QString();
    return expression.cap(1);
}

QVector<QMap<QString, QString> > parseJsonArray(const QString& text)
{
    QString rest = text;
    rest.remove('"');
    const int open = rest.indexOf("[{");
    // Without an array of objects the text holds none (an error page, "null",
    // an empty array): no record from it, not one made of its words.
    if (open < 0)
        return {};
    rest = rest.mid(open + 2);
    rest = rest.trimmed();
    const int close = rest.lastIndexOf("}]");
    if (close >= 0)
        rest = rest.left(close);

    QVector<QMap<QString, QString> > objects;
    for (const QString& object : rest.split("},{", Qt::KeepEmptyParts)) {
        if (object.trimmed().isEmpty())
            continue;   // "{}" or a text cut right behind "[{": no pair in it
        QMap<QString, QString> map;
        for (const QString& piece : object.split(',')) {
            const int colon = piece.indexOf(':');
            if (colon < 0)
                map.insert(piece, QString());
            else
                map.insert(piece.left(colon), piece.mid(colon + 1));
        }
        objects.append(map);
    }
    return objects;
}

bool isStockCodeForPath(const QString& code)
{
    if (code.size() != 6)
        return false;
    for (const QChar c : code) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}
