#include "datasource/stockqqhistoryinterface.h"

#include "datasource/httpget.h"
#include "datasource/providerhosts.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

const QStringList kAdjustments { "bfq", "qfq", "hfq" };
const QStringList kPeriods { "day", "week", "month" };
const int kMostBarsOfAResponse = 480;

// How the bars are read. The body is cut from the "[" of the first bar to the
// first "]]" (that cut sees the body as it is), then read as if every double
// quote had been removed: the pieces between separators "],[" are the bars,
// their comma-separated items date, open, close, high, low and volume, and a
// piece of fewer than six items is no bar. Instead of copying the body without
// quotes and splitting it (which costs more than everything else on a
// 480-bar history), one pass steps over the quotes and converts the numbers on
// the way.

using Char = ushort;

inline const Char* skipQuotes(const Char* p, const Char* end)
{
    while (p != end && *p == '"')
        ++p;
    return p;
}

// True when the "]" at `p` begins a separator: "]", "," and "[" with nothing
// but quotes between them. `next` is then where the following piece starts.
inline bool isSeparator(const Char* p, const Char* end, const Char*& next)
{
    if (*p != ']')
        return false;
    const Char* comma = skipQuotes(p + 1, end);
    if (comma == end || *comma != ',')
        return false;
    const Char* bracket = skipQuotes(comma + 1, end);
    if (bracket == end || *bracket != '[')
        return false;
    next = bracket + 1;
    return true;
}

// Where an item starting at `p` ends: its comma, the "]" of a separator, or
// `end`.
inline const Char* itemEnd(const Char* p, const Char* end)
{
    const Char* next = nullptr;
    for (; p != end; ++p) {
        if (*p == ',' || (*p == ']' && isSeparator(p, end, next)))
            return p;
    }
    return end;
}

// Where the piece containing `p` ends (the "]" of its separator, or `end`).
inline const Char* pieceEnd(const Char* p, const Char* end)
{
    const Char* next = nullptr;
    for (; p != end; ++p) {
        if (*p == ']' && isSeparator(p, end, next))
            return p;
    }
    return end;
}

// The text of [begin, end) without its double quotes.
QString unquoted(const Char* begin, const Char* end)
{
    QString text(int(end - begin), Qt::Uninitialized);
    Char* out = reinterpret_cast<Char*>(text.data());
    for (const Char* p = begin; p != end; ++p) {
        *out = *p;
        out += *p != '"';
    }
    text.truncate(int(out - reinterpret_cast<const Char*>(text.constData())));
    return text;
}

// Reads the number item starting at `p`, converted as QString::toFloat
// converts its unquoted text (0 for anything that is no number), and returns
// the item's end. The service writes plain decimals, which take the exact
// fast path: an integer mantissa below 2^53 divided by a power of ten up to
// 10^22 is one correctly rounded division, the very double that the general
// converter gives. "1.", ".5", exponents, signs other than one leading minus
// and everything else go to the general converter.
const Char* readNumber(const Char* p, const Char* end, float& value)
{
    static const double kPowers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    const Char* const begin = p;
    p = skipQuotes(p, end);
    const bool negative = p != end && *p == '-';
    if (negative)
        ++p;
    quint64 mantissa = 0;
    const Char* digits = p;
    while (p != end && Char(*p - '0') <= 9)
        mantissa = mantissa * 10 + (*p++ - '0');
    const int whole = int(p - digits);
    int fraction = 0;
    bool point = false;
    if (p != end && *p == '.') {
        point = true;
        digits = ++p;
        while (p != end && Char(*p - '0') <= 9)
            mantissa = mantissa * 10 + (*p++ - '0');
        fraction = int(p - digits);
    }
    p = skipQuotes(p, end);
    const Char* next = nullptr;
    const bool atEnd = p == end || *p == ',' || (*p == ']' && isSeparator(p, end, next));
    if (atEnd && whole > 0 && (!point || fraction > 0) && whole + fraction <= 15) {
        double number = double(mantissa);
        if (fraction > 0)
            number /= kPowers[fraction];
        value = float(negative ? -number : number);
        return p;
    }
    const Char* last = atEnd ? p : itemEnd(p, end);
    value = unquoted(begin, last).toFloat();
    return last;
}

// Reads the piece starting at `p` into `bar` when it holds at least six
// items; returns the piece's end.
const Char* readPiece(const Char* p, const Char* end, Stock& bar, bool& complete)
{
    complete = false;
    const Char* dateBegin = p;
    const Char* dateEnd = itemEnd(p, end);
    float numbers[5];
    p = dateEnd;
    for (int i = 0; i < 5; ++i) {
        if (p == end || *p != ',')
            return p;   // fewer than six items
        p = readNumber(p + 1, end, numbers[i]);
    }
    bar.date = unquoted(dateBegin, dateEnd);
    if (bar.date.startsWith(QLatin1Char('[')))
        bar.date.remove(0, 1);
    bar.open = numbers[0];
    bar.close = numbers[1];
    bar.high = numbers[2];
    bar.low = numbers[3];
    bar.volume = numbers[4];
    complete = true;
    return p == end || *p != ',' ? p : pieceEnd(p, end);
}

const Char* findPair(const Char* p, const Char* end, Char first, Char second)
{
    for (; p + 1 < end; ++p) {
        if (p[0] == first && p[1] == second)
            return p;
    }
    return end;
}

// The bars of a K-line body; `closed` tells whether its array of bar arrays
// both opens and closes ("[[" ... "]]").
QVector<Stock> readBars(const QString& body, const QString& code, bool& closed)
{
    closed = false;
    const Char* text = reinterpret_cast<const Char*>(body.constData());
    const Char* const bodyEnd = text + body.size();
    const Char* open = findPair(text, bodyEnd, '[', '[');
    // Without the array of bar arrays the body is no history (an error or
    // maintenance page, the answer for an unknown code): no bars from it.
    if (open == bodyEnd)
        return QVector<Stock>();
    const Char* const begin = open + 1;
    // Every separator holds a "]": counting them on the way to the first "]]"
    // bounds the number of bars.
    const Char* end = bodyEnd;
    int pieces = 1;
    const Char* p = begin;
#ifdef __SSE2__
    // Eight characters at a time while no "]]" is near; brackets are rare.
    const __m128i brackets = _mm_set1_epi16(']');
    for (; bodyEnd - p >= 9; p += 8) {
        const int mask = _mm_movemask_epi8(
            _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), brackets));
        if (!mask)
            continue;
        if ((mask & (mask >> 2)) || ((mask & 0x8000) && p[8] == ']'))
            break;   // a "]]" starts in this block: the plain loop finds it
        pieces += __builtin_popcount(unsigned(mask)) / 2;
    }
#endif
    for (; p != bodyEnd; ++p) {
        if (*p != ']')
            continue;
        if (p + 1 != bodyEnd && p[1] == ']') {
            end = p;
            break;
        }
        ++pieces;
    }
    closed = end != bodyEnd;

    // Bars are filled in place: a Stock is large, and copying 480 of them
    // costs more than reading the text. A response holds at most 480 bars;
    // a page of bare separators must not make hundreds of thousands of empty
    // bars first, so anything beyond grows as the bars come.
    QVector<Stock> bars(qMin(pieces, kMostBarsOfAResponse));
    int count = 0;
    // The first bar has no previous close: its change stays 0.
    float previousClose = 0;
    p = begin;
    while (true) {
        if (count == bars.size())
            bars.resize(count + 1);   // never past the end, whatever the count above missed
        Stock& bar = bars[count];
        bool complete = false;
        p = readPiece(p, end, bar, complete);
        if (complete) {
            bar.code = code;
            if (count > 0) {
                bar.change = bar.close - previousClose;
                bar.changePercent = previousClose != 0 ? bar.change * 100 / previousClose : 0;
            }
            previousClose = bar.close;
            ++count;
        }
        const Char* next = end;
        // A piece after a trailing separator is empty and holds no bar.
        if (p == end || !isSeparator(p, end, next) || next == end)
            break;
        p = next;
    }
    bars.resize(count);
    return bars;
}

} // namespace

QVector<Stock> parseQQHistory(const QString& body, const QString& code)
{
    bool closed = false;
    return readBars(body, code, closed);
}

QStringList StockQQHistoryInterface::urls(const QStringList& codes)
{
    const QString pattern = QStringLiteral("/appstock/app/fqkline/get?p=1&param=%1,%2,,,480,%3&_appName=android");
    QStringList list;
    for (const QString& code : codes) {
        list.append(providerUrl(Provider::QQKLine, pattern.arg(marketCode(code), period, adjust))
                    + "&__random_suffix=" + QString::number(randomSuffix()));
    }
    return list;
}

QVector<Stock> StockQQHistoryInterface::parse(const QString& body, const QString& code)
{
    bool closed = false;
    QVector<Stock> bars = readBars(body, code, closed);
    return storeHistoryBody(std::move(bars), closed, body, cacheDir, code);
}

void StockQQHistoryInterface::setParameter(int key, const QString& value)
{
    if (key == 0)
        cacheDir = value;
    else if (key == 1 && kAdjustments.contains(value))
        adjust = value;
    else if (key == 2 && kPeriods.contains(value))
        period = value;
}

QVector<Stock> loadQQHistory(const QString& code, const QString& period, const QString& adjust,
                             const QString& cacheDir, QString* failure)
{
    StockQQHistoryInterface source;
    source.setParameter(0, cacheDir);
    source.setParameter(1, adjust);
    source.setParameter(2, period);
    const QStringList urls = source.urls(QStringList { code });
    if (urls.isEmpty())
        return QVector<Stock>();
    return source.parse(httpGet(urls.first(), nullptr, failure), code);
}
