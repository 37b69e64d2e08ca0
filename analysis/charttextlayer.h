#pragma once

// Text drawn over a whole chart. QwtText is a plot layerable that renders a
// plain or rich text with Qwt's text engines across the plot widget (the
// strategy pages put their scanner messages there); HTMLLayer renders an HTML
// document the same way. Both live on the plot's current layer and belong to
// the plot. Our text class shares its name with Qwt's own, so it stays inside
// our namespace.

#include <qcustomplot.h>
#include <qwt_text_engine.h>

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QSizeF>
#include <QString>
#include <QTextDocument>

namespace vorel {

class QwtText : public QCPLayerable
{
    Q_OBJECT
public:
    // The values of Qwt's text formats, so engines registered for one mean the same.
    enum TextFormat { AutoText = 0, PlainText = 1, RichText = 2 };
    enum PaintAttribute { PaintUsingTextFont = 1, PaintUsingTextColor = 2, PaintBackground = 4 };
    enum LayoutAttribute { MinimumLayout = 1 };

    QwtText(QCustomPlot* plot, const QString& text = QString(), TextFormat format = AutoText);
    ~QwtText() override;

    void setText(const QString& text, TextFormat format = AutoText);
    QString text() const;

    void setRenderFlags(int flags);
    int renderFlags() const;

    void setFont(const QFont& font);
    QFont font() const;
    QFont usedFont(const QFont& defaultFont) const;

    void setColor(const QColor& color);
    QColor color() const;
    QColor usedColor(const QColor& defaultColor) const;

    void setBorderRadius(double radius);
    double borderRadius() const;
    void setBorderPen(const QPen& pen);
    QPen borderPen() const;
    void setBackgroundBrush(const QBrush& brush);
    QBrush backgroundBrush() const;

    void setPaintAttribute(PaintAttribute attribute, bool on = true);
    bool testPaintAttribute(PaintAttribute attribute) const;
    void setLayoutAttribute(LayoutAttribute attribute, bool on = true);
    bool testLayoutAttribute(LayoutAttribute attribute) const;

    QSizeF textSize(const QFont& defaultFont) const;
    double heightForWidth(double width, const QFont& defaultFont) const;

    // The engine this text is drawn with right now.
    const QwtTextEngine* usedTextEngine() const;

    // The process-wide engines by format, made on first use and deleted at
    // exit. Automatic format picks the first non-plain engine that claims the
    // text, else the plain one; a format without engine falls back to plain.
    static const QwtTextEngine* textEngine(const QString& text, TextFormat format);
    static const QwtTextEngine* textEngine(TextFormat format);
    // Replaces (and deletes) the engine of `format`; a null engine removes it.
    // The plain engine cannot be removed. Texts using a replaced engine pick
    // their engine anew before they measure or draw again.
    static void setTextEngine(TextFormat format, QwtTextEngine* engine);

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    struct TextData
    {
        int renderFlags = Qt::AlignCenter;
        QString text;
        QFont font;
        QColor color;
        double borderRadius = 0;
        QPen borderPen = Qt::NoPen;
        QBrush backgroundBrush = Qt::NoBrush;
        int paintAttributes = 0;
        int layoutAttributes = 0;
        TextFormat format = AutoText;
        // Not owned: the engines belong to the process-wide dictionary.
        const QwtTextEngine* textEngine = nullptr;
        quint64 engineGeneration = 0;
    };
    struct LayoutCache
    {
        QFont font;
        QSizeF textSize{-1, -1};
        void invalidate() { textSize = QSizeF(-1, -1); }
    };

    const QwtTextEngine* currentEngine() const;
    void drawBackground(QCPPainter* painter, const QRectF& rect) const;

    TextData* d;
    LayoutCache* cache;
};

class HTMLLayer : public QCPLayerable
{
    Q_OBJECT
public:
    explicit HTMLLayer(QCustomPlot* plot);
    ~HTMLLayer() override;

    void setHtml(const QString& html);
    void setPen(const QPen& pen);
    void setFont(const QFont& font);
    // Shows or hides the plot layer named layerName(), when the plot has one.
    void setLayerVisible(bool visible);
    static QString layerName();

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    QPen pen;
    QFont font;
    QTextDocument document;
};

} // namespace vorel
