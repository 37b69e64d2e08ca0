#include "analysis/charttextlayer.h"

#include <QAbstractTextDocumentLayout>
#include <QMap>
#include <QPainter>
#include <QPainterPath>

namespace vorel {

namespace {

// Engines by format. Replacing one bumps the generation, which tells every
// text holding the old pointer to look its engine up again instead of
// drawing through a deleted object.
class TextEngineDict
{
public:
    TextEngineDict()
    {
        engines.insert(QwtText::PlainText, new QwtPlainTextEngine);
        engines.insert(QwtText::RichText, new QwtRichTextEngine);
    }
    ~TextEngineDict() { qDeleteAll(engines); }

    const QwtTextEngine* find(const QString& text, QwtText::TextFormat format) const
    {
        if (format == QwtText::AutoText) {
            for (auto it = engines.constBegin(); it != engines.constEnd(); ++it) {
                if (it.key() != QwtText::PlainText && it.value()->mightRender(text))
                    return it.value();
            }
        }
        const QwtTextEngine* engine = engines.value(format);
        return engine ? engine : engines.value(QwtText::PlainText);
    }

    void replace(QwtText::TextFormat format, QwtTextEngine* engine)
    {
        if (format == QwtText::AutoText)
            return;
        if (format == QwtText::PlainText && !engine)
            return;
        QwtTextEngine* old = engines.value(format);
        if (old == engine)
            return;
        if (engine)
            engines.insert(format, engine);
        else
            engines.remove(format);
        delete old;
        ++generation;
    }

    quint64 generation = 1;

private:
    QMap<int, QwtTextEngine*> engines;
};

TextEngineDict& engineDict()
{
    static TextEngineDict dict;
    return dict;
}

} // namespace

QwtText::QwtText(QCustomPlot* plot, const QString& text, TextFormat format)
    : QCPLayerable(plot)
    , d(new TextData)
    , cache(new LayoutCache)
{
    d->text = text;
    d->format = format;
    d->textEngine = textEngine(text, format);
    d->engineGeneration = engineDict().generation;
}

QwtText::~QwtText()
{
    delete d;
    delete cache;
}

void QwtText::setText(const QString& text, TextFormat format)
{
    d->text = text;
    d->format = format;
    d->textEngine = textEngine(text, format);
    d->engineGeneration = engineDict().generation;
    cache->invalidate();
}

QString QwtText::text() const
{
    return d->text;
}

void QwtText::setRenderFlags(int flags)
{
    if (flags != d->renderFlags) {
        d->renderFlags = flags;
        cache->invalidate();
    }
}

int QwtText::renderFlags() const
{
    return d->renderFlags;
}

void QwtText::setFont(const QFont& font)
{
    d->font = font;
    setPaintAttribute(PaintUsingTextFont);
}

QFont QwtText::font() const
{
    return d->font;
}

QFont QwtText::usedFont(const QFont& defaultFont) const
{
    return testPaintAttribute(PaintUsingTextFont) ? d->font : defaultFont;
}

void QwtText::setColor(const QColor& color)
{
    d->color = color;
    setPaintAttribute(PaintUsingTextColor);
}

QColor QwtText::color() const
{
    return d->color;
}

QColor QwtText::usedColor(const QColor& defaultColor) const
{
    return testPaintAttribute(PaintUsingTextColor) ? d->color : defaultColor;
}

void QwtText::setBorderRadius(double radius)
{
    d->borderRadius = qMax(0.0, radius);
}

double QwtText::borderRadius() const
{
    return d->borderRadius;
}

void QwtText::setBorderPen(const QPen& pen)
{
    d->borderPen = pen;
    setPaintAttribute(PaintBackground);
}

QPen QwtText::borderPen() const
{
    return d->borderPen;
}

void QwtText::setBackgroundBrush(const QBrush& brush)
{
    d->backgroundBrush = brush;
    setPaintAttribute(PaintBackground);
}

QBrush QwtText::backgroundBrush() const
{
    return d->backgroundBrush;
}

void QwtText::setPaintAttribute(PaintAttribute attribute, bool on)
{
    if (on)
        d->paintAttributes |= attribute;
    else
        d->paintAttributes &= ~attribute;
}

bool QwtText::testPaintAttribute(PaintAttribute attribute) const
{
    return d->paintAttributes & attribute;
}

void QwtText::setLayoutAttribute(LayoutAttribute attribute, bool on)
{
    if (on)
        d->layoutAttributes |= attribute;
    else
        d->layoutAttributes &= ~attribute;
}

bool QwtText::testLayoutAttribute(LayoutAttribute attribute) const
{
    return d->layoutAttributes & attribute;
}

const QwtTextEngine* QwtText::currentEngine() const
{
    if (d->engineGeneration != engineDict().generation) {
        d->textEngine = textEngine(d->text, d->format);
        d->engineGeneration = engineDict().generation;
        cache->invalidate();
    }
    return d->textEngine;
}

const QwtTextEngine* QwtText::usedTextEngine() const
{
    return currentEngine();
}

QSizeF QwtText::textSize(const QFont& defaultFont) const
{
    const QwtTextEngine* engine = currentEngine();
    const QFont font = usedFont(defaultFont);
    if (!cache->textSize.isValid() || cache->font != font) {
        cache->textSize = engine->textSize(font, d->renderFlags, d->text);
        cache->font = font;
    }
    QSizeF size = cache->textSize;
    if (testLayoutAttribute(MinimumLayout)) {
        double left = 0, right = 0, top = 0, bottom = 0;
        engine->textMargins(font, d->text, left, right, top, bottom);
        size -= QSizeF(left + right, top + bottom);
    }
    return size;
}

double QwtText::heightForWidth(double width, const QFont& defaultFont) const
{
    const QwtTextEngine* engine = currentEngine();
    const QFont font = usedFont(defaultFont);
    if (!testLayoutAttribute(MinimumLayout))
        return engine->heightForWidth(font, d->renderFlags, d->text, width);
    double left = 0, right = 0, top = 0, bottom = 0;
    engine->textMargins(font, d->text, left, right, top, bottom);
    return engine->heightForWidth(font, d->renderFlags, d->text, width + left + right) - top - bottom;
}

const QwtTextEngine* QwtText::textEngine(const QString& text, TextFormat format)
{
    return engineDict().find(text, format);
}

const QwtTextEngine* QwtText::textEngine(TextFormat format)
{
    return engineDict().find(QString(), format);
}

void QwtText::setTextEngine(TextFormat format, QwtTextEngine* engine)
{
    engineDict().replace(format, engine);
}

void QwtText::applyDefaultAntialiasingHint(QCPPainter* /*painter*/) const
{
}

void QwtText::drawBackground(QCPPainter* painter, const QRectF& rect) const
{
    if (d->borderPen.style() == Qt::NoPen && d->backgroundBrush.style() == Qt::NoBrush)
        return;
    painter->save();
    painter->setPen(d->borderPen);
    painter->setBrush(d->backgroundBrush);
    if (d->borderRadius == 0) {
        painter->drawRect(rect);
    } else {
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->drawRoundedRect(rect, d->borderRadius, d->borderRadius);
    }
    painter->restore();
}

void QwtText::draw(QCPPainter* painter)
{
    if (!mParentPlot)
        return;
    QRectF rect = mParentPlot->rect();
    if (testPaintAttribute(PaintBackground))
        drawBackground(painter, rect);

    const QwtTextEngine* engine = currentEngine();
    painter->save();
    if (testPaintAttribute(PaintUsingTextFont))
        painter->setFont(d->font);
    if (testPaintAttribute(PaintUsingTextColor) && d->color.isValid())
        painter->setPen(d->color);
    if (testLayoutAttribute(MinimumLayout)) {
        double left = 0, right = 0, top = 0, bottom = 0;
        engine->textMargins(painter->font(), d->text, left, right, top, bottom);
        rect.adjust(-left, -top, right, bottom);
    }
    engine->draw(painter, rect, d->renderFlags, d->text);
    painter->restore();
}

HTMLLayer::HTMLLayer(QCustomPlot* plot)
    : QCPLayerable(plot)
{
}

HTMLLayer::~HTMLLayer() = default;

void HTMLLayer::setHtml(const QString& html)
{
    document.setHtml(html);
}

void HTMLLayer::setPen(const QPen& newPen)
{
    pen = newPen;
}

void HTMLLayer::setFont(const QFont& newFont)
{
    font = newFont;
}

void HTMLLayer::setLayerVisible(bool visible)
{
    if (!mParentPlot)
        return;
    if (QCPLayer* target = mParentPlot->layer(layerName()))
        target->setVisible(visible);
}

QString HTMLLayer::layerName()
{
    return QStringLiteral("HtmlLayer");
}

void HTMLLayer::applyDefaultAntialiasingHint(QCPPainter* /*painter*/) const
{
}

void HTMLLayer::draw(QCPPainter* painter)
{
    if (!mParentPlot)
        return;
    painter->save();
    const QRectF rect = mParentPlot->rect();
    QPen drawPen = pen;
    if (painter->modes().testFlag(QCPPainter::pmNonCosmetic))
        drawPen.setCosmetic(false);
    painter->setPen(drawPen);
    painter->setFont(font);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->translate(rect.topLeft());
    document.setDefaultFont(font);
    document.setTextWidth(rect.width());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, drawPen.color());
    context.clip = QRectF(0, 0, rect.width(), rect.height());
    document.documentLayout()->draw(painter, context);
    painter->restore();
}

} // namespace vorel
