#include "datasource/eastmoneynotice.h"

#include "datasource/providerhosts.h"

namespace {

// The quoted value of a `"KEY":"value"` match: `prefix` characters of key
// markup in front, `tail` characters cut off behind. The host's records are
// regular, but a truncated page may leave a match too short for the cut;
// that gives an empty value instead of the markup around it.
QString cutValue(const QString& match, int prefix, int tail)
{
    const int length = match.size() - prefix - tail;
    return length > 0 ? match.mid(prefix, length) : QString();
}

QString noticeCode(const QString& piece)
{
    const QString match = matchFirst(piece, "\"SECURITYCODE\":\"(.*)\"");
    // the six digits between the last two quotes; the key markup is 16
    // characters, so anything shorter than a six-character value gives none
    return match.size() >= 16 + 6 + 1 ? match.mid(match.size() - 7, 6) : QString();
}

QString noticeTitle(const QString& piece, const QString& code)
{
    QString title = cutValue(matchFirst(piece, "\"NOTICETITLE\":\"(.*)\""), 15, 1);
    // titles often repeat the code with a separator: "600000:..."
    if (!code.isEmpty() && title.startsWith(code))
        title = title.mid(7);
    return title;
}

Data noticeFromPiece(const QString& piece)
{
    Data notice;
    notice.code = noticeCode(piece);
    notice.name = cutValue(matchFirst(piece, "\"SECURITYSHORTNAME\":\"(.*)\""), 21, 1);
    // the time value ends in 15 characters of clock time and zone after the date
    notice.date = cutValue(matchFirst(piece, "\"EUTIME\":\"(.*)\""), 10, 16);
    notice.fields.insert("title", noticeTitle(piece, notice.code));
    notice.fields.insert("type", cutValue(matchFirst(piece, "\"COLUMNNAME\":\"(.*)\""), 14, 1));
    return notice;
}

// Items of one suspension record text: code, name, two unused, the span's
// start time, the description, one unused, the stop date and the date.
const int kRecoveryItems = 9;

} // namespace

QStringList EastmoneyInterface::urls(const QStringList& args)
{
    QStringList result;
    for (const QString& type : args)
        result.append(providerUrl(Provider::EastmoneyData, QString("/notices/hsa/%1.html").arg(type)));
    return result;
}

QVector<Data> EastmoneyInterface::parse(const QString& body, const QString&)
{
    QVector<Data> notices;
    const QString block = captureNoticeJson(body);
    if (block.isEmpty())
        return notices;
    const QStringList pieces = block.split("\"NOTICEDATE\":", Qt::KeepEmptyParts, Qt::CaseSensitive);
    for (const QString& raw : pieces) {
        const QString piece = raw.simplified();
        if (!piece.isEmpty())
            notices.append(noticeFromPiece(piece));
    }
    return notices;
}

bool EastmoneyInterface::hasForm(const QString& body) const
{
    return !captureNoticeJson(body).isEmpty();
}

QStringList EastmoneyRecoveryTransactionInterface::urls(const QStringList&)
{
    return {providerUrl(Provider::EastmoneyData, "/tfpxx/")};
}

QVector<Data> EastmoneyRecoveryTransactionInterface::parse(const QString& body, const QString&)
{
    QVector<Data> records;
    const QString block = captureRecoveryJson(body);
    if (block.isEmpty())
        return records;
    const QStringList pieces = block.split("\",\"", Qt::KeepEmptyParts, Qt::CaseSensitive);
    for (const QString& piece : pieces) {
        // the block's trailing keys ("type" and the like) are not records
        if (piece.contains("type", Qt::CaseSensitive))
            continue;
        const QStringList items = piece.simplified().split(',', Qt::KeepEmptyParts);
        // a truncated record would shift the stop date into the date
        if (items.size() < kRecoveryItems)
            continue;
        Data record;
        record.code = items.at(0);
        record.name = items.at(1);
        record.date = items.at(8);
        record.fields.insert("stopDate", items.at(7));
        record.fields.insert("span", items.at(4).left(10));
        record.fields.insert("desc", items.at(5));
        records.append(record);
    }
    return records;
}

bool EastmoneyRecoveryTransactionInterface::hasForm(const QString& body) const
{
    return !captureRecoveryJson(body).isEmpty();
}
