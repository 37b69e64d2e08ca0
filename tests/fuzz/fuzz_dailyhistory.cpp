// Daily K-line histories of every provider, and the stored files that the
// scans read back through the same parser.

#include "core/fileutils.h"
#include "datasource/klinebars.h"
#include "datasource/neteasehistory.h"
#include "datasource/stockifenginterface.h"
#include "datasource/stockqqhistoryinterface.h"
#include "datasource/stocktushareinterface.h"
#include "tests/fuzz/fuzzinput.h"

#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// A body the K-line source stores gives the same bars when a scan reads the
// file back: a stored history is never half of what was downloaded.
void storedBodyReadsBackAlike(const QString& body)
{
    static const QString folder = fuzzScratchFolder(QStringLiteral("history")) + QLatin1Char('/');
    const QString path = folder + QStringLiteral("600000");
    QFile::remove(path);
    StockQQHistoryInterface source;
    source.setParameter(0, folder);
    const QVector<Stock> bars = source.parse(body, QStringLiteral("600000"));
    if (!QFile::exists(path))
        return;
    if (bars.isEmpty() || readKLineBars(loadTemplate(path), QStringLiteral("600000")).size() != bars.size())
        abort();
}

// The reader never looks past the end of a body: the same characters held
// without a terminating zero, in a block of their exact size, read alike.
void unterminatedBodyReadsAlike(const QString& body)
{
    const std::unique_ptr<QChar[]> copy(new QChar[size_t(body.size())]);
    std::copy(body.constBegin(), body.constEnd(), copy.get());
    const QVector<Stock> bars = readKLineBars(QString::fromRawData(copy.get(), body.size()), QStringLiteral("600000"));
    const QVector<Stock> expected = readKLineBars(body, QStringLiteral("600000"));
    if (bars.size() != expected.size())
        abort();
    for (int i = 0; i < bars.size(); ++i) {
        if (bars.at(i).date != expected.at(i).date || std::memcmp(&bars.at(i).close, &expected.at(i).close, sizeof(float)))
            abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QMap<QString, Stock> pool = fuzzPool();
    const QString body = fuzzBody(data, size);
    readKLineBars(body, QStringLiteral("600000"));
    parseIFengHistory(body, QStringLiteral("600000"), pool);
    parseNeteaseHistory(body, QStringLiteral("600000"), pool);
    StockTuShareInterface().parse(body, QStringLiteral("600000"));
    storedBodyReadsBackAlike(body);
    unterminatedBodyReadsAlike(body);
    return 0;
}
