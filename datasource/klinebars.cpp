#include "datasource/klinebars.h"

#include <algorithm>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// How the bars are read. The body is cut from the "[" of the first bar to the
// first "]]" (that cut sees the body as it is), then read as if every double
// quote had been removed: the pieces between separators "],[" are the bars,
// their comma-separated items date, open, close, high, low and volume, and a
// piece of fewer than six items is no bar. Copying the body without quotes
// and splitting it would cost more than everything else on a 480-bar
// history, so one pass steps over the quotes and converts the numbers on the
// way. A piece in the form the service writes takes a short road; a piece
// of any other form takes the general one, which follows the rule to the
// letter.

namespace {

using Char = ushort;

const int kMostBarsOfAResponse = 480;
// The shortest text that holds one more bar: a separator and five commas.
const int kShortestBar = 8;
// Bars are made ready in groups, which costs less than one at a time.
const int kBarsAtOnce = 32;

inline bool isDigit(Char c, unsigned& digit)
{
    digit = unsigned(c) - '0';
    return digit <= 9;
}

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

// Where the first "]]" at or after `p` starts, or `end`.
const Char* findBarsEnd(const Char* p, const Char* end)
{
#ifdef __SSE2__
    // Eight characters at a time while no "]]" is near; brackets are rare.
    const __m128i brackets = _mm_set1_epi16(']');
    for (; end - p >= 9; p += 8) {
        const __m128i equal = _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), brackets);
        const int mask = _mm_movemask_epi8(_mm_packs_epi16(equal, equal)) & 0xff;   // a bit per character
        if ((mask & (mask >> 1)) || ((mask & 0x80) && p[8] == ']'))
            break;   // a "]]" starts in this block: the plain loop finds it
    }
#endif
    for (; p + 1 < end; ++p) {
        if (p[0] == ']' && p[1] == ']')
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

// Appends the digits from `p` on to `mantissa` and returns how many there
// were (however many: the caller judges the count; the mantissa is then
// worthless but harmless). `Bounded` reading stops at `bufferEnd`; the short
// road knows a "]" ahead, which is no digit, and reads the character behind
// a digit without looking.
template <bool Bounded>
inline int readDigits(const Char*& p, const Char* bufferEnd, quint64& mantissa)
{
    const Char* q = p;
    unsigned digit = 0;
    unsigned second = 0;
    // Two at a time while there are two: half the steps, and the mantissa
    // waits on one multiplication per pair.
    while ((!Bounded || bufferEnd - q >= 2) && isDigit(q[0], digit) && isDigit(q[1], second)) {
        mantissa = mantissa * 100 + digit * 10 + second;
        q += 2;
    }
    if ((!Bounded || q != bufferEnd) && isDigit(*q, digit)) {
        mantissa = mantissa * 10 + digit;
        ++q;
    }
    const int count = int(q - p);
    p = q;
    return count;
}

// A decimal as the service writes it, "-" and digits with or without a point
// and more digits, at most 15 digits in all: an integer mantissa below 2^53
// divided by a power of ten up to 10^22 is one correctly rounded division,
// the very double that QString::toFloat's converter gives. Reads it from `p`
// up to the first character that is no part of it; false when the text there
// has any other form ("1.", ".5", exponents, signs, too many digits), which
// only the general converter reads right.
template <bool Bounded>
inline bool readDecimal(const Char*& p, const Char* bufferEnd, float& value)
{
    static const double kPowers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    const int kMostDigits = 15;
    const Char* q = p;
    const bool negative = (!Bounded || q != bufferEnd) && *q == '-';
    q += negative;
    quint64 mantissa = 0;
    const int whole = readDigits<Bounded>(q, bufferEnd, mantissa);
    int fraction = 0;
    if ((!Bounded || q != bufferEnd) && *q == '.') {
        ++q;
        fraction = readDigits<Bounded>(q, bufferEnd, mantissa);
        if (fraction == 0)
            return false;
    }
    if (whole == 0 || whole + fraction > kMostDigits)
        return false;
    double number = double(mantissa);
    if (fraction > 0)
        number /= kPowers[fraction];
    value = float(negative ? -number : number);
    p = q;
    return true;
}

// The general road. Reads the number item starting at `p`, converted as
// QString::toFloat converts its unquoted text (0 for anything that is no
// number), and returns the item's end. `numeric` turns false when the item is
// no number.
const Char* readNumber(const Char* p, const Char* end, const Char* bufferEnd, float& value, bool& numeric)
{
    const Char* const begin = p;
    p = skipQuotes(p, end);
    const Char* next = nullptr;
    // Digits never run past `end`: it is the end of the text or a "]".
    if (readDecimal<true>(p, bufferEnd, value)) {
        p = skipQuotes(p, end);
        if (p == end || *p == ',' || (*p == ']' && isSeparator(p, end, next)))
            return p;
    }
    const Char* last = itemEnd(p, end);
    bool ok = false;
    value = unquoted(begin, last).toFloat(&ok);
    numeric = numeric && ok && qIsFinite(value);
    return last;
}

// The general road for a whole piece: reads the piece starting at `p` into
// `bar` when it holds at least six items; returns the piece's end.
const Char* readPiece(const Char* p, const Char* end, const Char* bufferEnd, Stock& bar, bool& complete,
                      bool& numeric)
{
    complete = false;
    const Char* dateBegin = p;
    const Char* dateEnd = itemEnd(p, end);
    float numbers[5];
    bool allNumbers = true;
    p = dateEnd;
    for (int i = 0; i < 5; ++i) {
        if (p == end || *p != ',')
            return p;   // fewer than six items
        p = readNumber(p + 1, end, bufferEnd, numbers[i], allNumbers);
    }
    bar.date = unquoted(dateBegin, dateEnd);
    if (bar.date.startsWith(QLatin1Char('[')))
        bar.date.remove(0, 1);
    bar.open = numbers[0];
    bar.close = numbers[1];
    bar.high = numbers[2];
    bar.low = numbers[3];
    bar.volume = numbers[4];
    numeric = numeric && allNumbers;
    complete = true;
    return p == end || *p != ',' ? p : pieceEnd(p, end);
}

// Eight bytes of text as one word.
inline quint64 word(const char* bytes)
{
    quint64 value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// The dates of the bars as shared texts. The histories of a market hold the
// same few hundred trading days, and a heap text of its own for every bar
// costs more than reading the bar: each thread keeps the dates it made last,
// and a bar whose date is one of them shares that text. Only texts of 4 to
// 16 characters are kept, in a table of fixed size, so that no page of odd
// dates makes it grow.
class DateTexts
{
public:
    QString text(const Char* begin, const Char* end)
    {
        const int size = int(end - begin);
        if (size < kShortest || size > kLongest)
            return QString(reinterpret_cast<const QChar*>(begin), size);
        // Words from the start, the middle and the end tell the dates of
        // "yyyy-MM-dd" apart by every character.
        const char* const bytes = reinterpret_cast<const char*>(begin);
        const int length = size * int(sizeof(Char));
        const quint64 mixed = ((word(bytes) * 0x9e3779b97f4a7c15ULL + word(bytes + length / 2 - 4)) * 0xc2b2ae3d27d4eb4fULL
                               + word(bytes + length - 8))
                              * 0x165667b19e3779f9ULL;
        // Two places for each hash, the newer text in the first: dates
        // whose hashes meet do not drive each other out.
        QString* const pair = table + ((mixed >> 52) & (kSlots - 2));
        if (isText(pair[0], bytes, size))
            return pair[0];
        if (isText(pair[1], bytes, size))
            qSwap(pair[0], pair[1]);
        else
            pair[1] = std::exchange(pair[0], QString(reinterpret_cast<const QChar*>(begin), size));
        return pair[0];
    }

    static DateTexts& ofThisThread()
    {
        static thread_local DateTexts texts;
        return texts;
    }

private:
    static constexpr int kShortest = 4;
    static constexpr int kLongest = 16;
    static constexpr int kSlots = 4096;

    // Whether `kept` holds the `size` characters at `bytes` (8 to 32 bytes),
    // compared as words that overlap where the length asks for it.
    static bool isText(const QString& kept, const char* bytes, int size)
    {
        if (kept.size() != size)
            return false;
        const char* const a = reinterpret_cast<const char*>(kept.constData());
        const int length = size * int(sizeof(Char));
        const bool ends = word(a) == word(bytes) && word(a + length - 8) == word(bytes + length - 8);
        return ends && (length <= 16 || (word(a + 8) == word(bytes + 8) && word(a + length - 16) == word(bytes + length - 16)));
    }

    QString table[kSlots];
};

inline bool endsDate(Char c)
{
    return c == '"' || c == ',' || c == '[' || c == ']';
}

// Where the date item starting at `p` ends in the short road's form: at its
// first quote, comma or bracket. A "]" at or after `p` ends the scan at the
// latest; the first 16 characters are looked at together while the text
// holds them.
inline const Char* dateEnd(const Char* p, const Char* bufferEnd)
{
#ifdef __SSE2__
    if (bufferEnd - p >= 16) {
        const auto stops = [](__m128i c) {
            return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(c, _mm_set1_epi16('"')), _mm_cmpeq_epi16(c, _mm_set1_epi16(','))),
                                _mm_or_si128(_mm_cmpeq_epi16(c, _mm_set1_epi16('[')), _mm_cmpeq_epi16(c, _mm_set1_epi16(']'))));
        };
        const __m128i first = stops(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        const __m128i second = stops(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8)));
        const int mask = _mm_movemask_epi8(_mm_packs_epi16(first, second));   // a bit per character
        if (mask)
            return p + __builtin_ctz(unsigned(mask));
        p += 16;
    }
#endif
    while (!endsDate(*p))
        ++p;
    return p;
}

// The short road: a piece in the service's own form, `["2019-01-02","10.00",
// "10.50","10.80","9.90","1000"]`, each item in one pair of quotes or none,
// maybe more items behind the sixth. Reads it into `bar` and returns where
// the sixth item ends (a "]" or a ","); null when the piece has any other
// form, which only the general road reads right. Nothing of that form holds
// a "]", so its scans compare no positions: a "]" at or after `p` ends each
// of them at the latest.
const Char* readPlainPiece(const Char* p, const Char* bufferEnd, Stock& bar, DateTexts& dates)
{
    // The first piece starts with the "[" of its bar, which the rule drops
    // from the date.
    p += *p == '[';
    const bool quotedDate = *p == '"';
    p += quotedDate;
    const Char* const dateBegin = p;
    p = dateEnd(p, bufferEnd);
    const Char* const dateLast = p;
    if (quotedDate) {
        if (*p != '"')
            return nullptr;
        ++p;
    }
    float numbers[5];
    for (float& number : numbers) {
        if (*p != ',')
            return nullptr;
        ++p;
        const bool quoted = *p == '"';
        p += quoted;
        if (!readDecimal<false>(p, bufferEnd, number))
            return nullptr;
        if (quoted) {
            if (*p != '"')
                return nullptr;
            ++p;
        }
    }
    if (*p != ']' && *p != ',')
        return nullptr;
    bar.date = dates.text(dateBegin, dateLast);
    bar.open = numbers[0];
    bar.close = numbers[1];
    bar.high = numbers[2];
    bar.low = numbers[3];
    bar.volume = numbers[4];
    return p;
}

// A walk over the pieces of one body. The cut at the first "]]" is looked
// for only when the general road needs it: the short road meets it on its
// way, since its pieces hold no "]" before their end.
class PieceWalk
{
public:
    PieceWalk(const Char* begin, const Char* bufferEnd) : bufferEnd(bufferEnd), dates(DateTexts::ofThisThread())
    {
        // The short road needs a "]" ahead to end its scans.
        for (const Char* p = bufferEnd; p != begin && !lastBracket; --p) {
            if (p[-1] == ']')
                lastBracket = p - 1;
        }
    }

    // Reads the piece at `p` into `bar` (`complete` when it is a bar);
    // returns where the next piece starts, or null at the end of the bars.
    const Char* read(const Char* p, Stock& bar, bool& complete, bool& numeric)
    {
        if (lastBracket && p <= lastBracket) {
            if (const Char* last = readPlainPiece(p, bufferEnd, bar, dates)) {
                complete = true;
                // The separator as the service writes it.
                if (*last == ']' && bufferEnd - last >= 3 && last[1] == ',' && last[2] == '[')
                    return last + 3;
                if (*last == ',')
                    return following(endOfPiece(last));
                if (isCut(last)) {
                    end = last;
                    return nullptr;
                }
                const Char* next = nullptr;
                if (isSeparator(last, reach(), next))
                    return following(last);
                // that "]" is part of the sixth item
            }
        }
        return following(readPiece(p, cut(p), bufferEnd, bar, complete, numeric));
    }

    // Whether the bars ended at a "]]"; known once the walk is over.
    bool closed() const { return end && end != bufferEnd; }
    // Whether the last piece was the empty one behind a trailing separator.
    bool endedEmpty() const { return emptyLast; }

private:
    // The piece behind the separator at `last`, or null at the end of the
    // bars.
    const Char* following(const Char* last)
    {
        const Char* next = nullptr;
        if (last == reach() || !isSeparator(last, reach(), next))
            return nullptr;
        // A piece after a trailing separator is empty and holds no bar.
        if (next != reach())
            return next;
        emptyLast = true;
        return nullptr;
    }

    // As far as the bars may reach, as far as the walk knows.
    const Char* reach() const { return end ? end : bufferEnd; }

    bool isCut(const Char* bracket) const
    {
        return end ? bracket == end : bracket + 1 != bufferEnd && bracket[1] == ']';
    }

    // The end of the bars, found from `p` on when it is not known yet: no
    // "]]" lies before a piece that the walk has reached.
    const Char* cut(const Char* p)
    {
        if (!end)
            end = findBarsEnd(p, bufferEnd);
        return end;
    }

    // Where the piece containing `p` ends: the "]" of its separator, or the
    // end of the bars, found on the way when it is not known yet.
    const Char* endOfPiece(const Char* p)
    {
        if (end)
            return pieceEnd(p, end);
        const Char* next = nullptr;
        for (; p != bufferEnd; ++p) {
            if (*p != ']')
                continue;
            if (isCut(p))
                return end = p;
            if (isSeparator(p, bufferEnd, next))
                return p;
        }
        return end = bufferEnd;
    }

    const Char* const bufferEnd;
    DateTexts& dates;
    const Char* lastBracket = nullptr;
    const Char* end = nullptr;
    bool emptyLast = false;
};

} // namespace

QVector<Stock> readKLineBars(const QString& body, const QString& code, KLineReading* reading)
{
    KLineReading local;
    KLineReading& result = reading ? *reading : local;
    result = KLineReading();
    const Char* const text = reinterpret_cast<const Char*>(body.constData());
    const Char* const bodyEnd = text + body.size();
    result.barsAt = body.indexOf(QLatin1String("[["));
    // Without the array of bar arrays the body is no history (an error or
    // maintenance page, the answer for an unknown code): no bars from it.
    if (result.barsAt < 0)
        return QVector<Stock>();
    const Char* const begin = text + result.barsAt + 1;

    // Bars are filled in place: a Stock is large, and copying 480 of them
    // costs more than reading the text. A response holds at most 480 bars;
    // room for more, which a page of bare separators could ask for, grows as
    // the bars come.
    QVector<Stock> bars;
    bars.reserve(int(qMin<qint64>((bodyEnd - begin) / kShortestBar + 1, kMostBarsOfAResponse)));
    PieceWalk walk(begin, bodyEnd);
    int count = 0;
    // The first bar has no previous close: its change stays 0.
    float previousClose = 0;
    Stock* ready = bars.data();
    for (const Char* p = begin; p;) {
        if (count == bars.size()) {
            bars.resize(qMax(count + 1, qMin(count + kBarsAtOnce, bars.capacity())));
            ready = bars.data();
        }
        Stock& bar = ready[count];
        bool complete = false;
        p = walk.read(p, bar, complete, result.numeric);
        if (complete) {
            // A copy moved in: both inline, where QString's copy assignment
            // is a call into the library.
            bar.code = QString(code);
            if (count > 0) {
                bar.change = bar.close - previousClose;
                bar.changePercent = previousClose != 0 ? bar.change * 100 / previousClose : 0;
            }
            previousClose = bar.close;
            ++count;
        } else {
            result.everyPieceABar = false;
        }
    }
    result.closed = walk.closed();
    result.everyPieceABar = result.everyPieceABar && !walk.endedEmpty();
    bars.resize(count);
    return bars;
}

bool datesRise(const QVector<Stock>& bars)
{
    const auto notRising = [](const Stock& bar, const Stock& next) { return !(bar.date < next.date); };
    return std::adjacent_find(bars.cbegin(), bars.cend(), notRising) == bars.cend();
}
