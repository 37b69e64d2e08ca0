#pragma once

// A company's profile from the QQ finance company summary: the texts of its
// head, the concept names and four row sections. The text is looked up first
// in data/data/ + code (the program never writes there) and otherwise
// fetched; both have the same form and go through the same parse.

#include <QString>
#include <QStringList>

class QObject;
#include <QVector>

struct StockIncomeRow
{
    QString value1, value2, value3;
};

struct StockDividendRow
{
    QString value1, value2, value3, value4, value5, value6;   // value6: at most 10 characters
};

struct StockReportRow
{
    QString value1, value2;
};

// Ten values; the top-holders table uses value4 (rank), value5 (name),
// value6 (holder type) and value8 (percent of the float).
struct StockHolder
{
    QString value1, value2, value3, value4, value5, value6, value7, value8, value9, value10;
};

class StockCompanyInfo
{
public:
    // Fills the record from a response body or a stored profile text. False
    // when the text has no company name or no concept block.
    bool parse(const QString& text);

    QString gsmz() const { return m_gsmz; }
    QString riqi() const { return m_riqi; }
    QString jg() const { return m_jg; }
    QString fxs() const { return m_fxs; }
    QString dy() const { return m_dy; }
    QString yw() const { return m_yw; }
    QString hy() const { return m_hy; }
    QStringList concepts() const { return m_concepts; }
    QVector<StockIncomeRow> yysr() const { return m_yysr; }
    QVector<StockDividendRow> fenhong() const { return m_fenhong; }
    QVector<StockReportRow> cwbb() const { return m_cwbb; }
    QVector<StockHolder> gudong() const { return m_gudong; }
    QVector<StockHolder> funds() const { return m_funds; }
    QString zgb() const { return m_zgb; }
    QString ltgb() const { return m_ltgb; }
    QString gdrs() const { return m_gdrs; }
    QString rjcg() const { return m_rjcg; }
    QString sqGdrs() const { return m_sqGdrs; }
    QString emptyField() const { return QStringLiteral("-"); }

private:
    void parseIncome(const QString& text);
    void parseDividends(const QString& text);
    void parseReports(const QString& text);
    void parseHolders(const QString& text);

    QString m_gsmz;
    QString m_riqi;
    QString m_jg;
    QString m_fxs;
    QString m_dy;
    QString m_yw;
    QString m_hy;
    QStringList m_concepts;
    QVector<StockIncomeRow> m_yysr;
    QVector<StockDividendRow> m_fenhong;
    QVector<StockReportRow> m_cwbb;
    QVector<StockHolder> m_gudong;
    QVector<StockHolder> m_funds;
    QString m_zgb;
    QString m_ltgb;
    QString m_gdrs;
    QString m_rjcg;
    QString m_sqGdrs;
};

// Whether `text` is a whole profile: it parses, and its outer object closes.
// A cut download may still hold the head and the concepts.
bool hasCompanyInfoForm(const QString& text);

// The company summary request for a six-digit code.
QString companyInfoUrl(const QString& code);

// The profile text of a code: the file data/data/ + code when it can be
// read, else one blocking download (httpGet, `owner` as there). Empty when
// neither gives a text, and for anything but a six-digit code (which alone
// may become a path or a request); `failure` (when given) then holds the
// download's reason, if any.
QString loadCompanyText(const QString& code, const QObject* owner = nullptr, QString* failure = nullptr);
// The profile page of a parsed profile: the template "assets/basic" filled
// with the stock's name in the pool, its head texts and concepts, and its
// revenue lines behind. Empty when `text` does not parse.
QString companyDescriptionHtml(const QString& code, const QString& text);
// The top shareholders of a parsed profile under a heading naming `stock`
// (e.g. "600000 浦发银行"); empty when `text` does not parse.
QString stockHolderHtml(const QString& stock, const QString& text);

// The top-10 float shareholder table; every downloaded text is escaped.
QString topHoldersHtml(const QVector<StockHolder>& holders);

QString htmlRow(const QString& text);
QString htmlTag(const QString& text, const QString& tag);
QString fundHoldingsTemplate();
