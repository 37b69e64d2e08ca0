// The plot additions the charts rely on: graphs made and found by name, and
// the text layers drawn over a plot through the shared text engines.

#include "analysis/charttextlayer.h"
#include "analysis/vorelplot.h"

#include <QtTest>

namespace {

// A plain engine that counts how often it draws, and with what colour and font.
class CountingEngine : public QwtPlainTextEngine
{
public:
    explicit CountingEngine(int* draws)
        : draws(draws)
    {
    }
    void draw(QPainter* painter, const QRectF& rect, int flags, const QString& text) const override
    {
        ++*draws;
        *drawnColor = painter->pen().color();
        *drawnPointSize = painter->font().pointSize();
        QwtPlainTextEngine::draw(painter, rect, flags, text);
    }

    // Shared so that the const draw can fill them in.
    QSharedPointer<QColor> drawnColor{new QColor};
    QSharedPointer<int> drawnPointSize{new int(0)};

private:
    int* draws;
};

} // namespace

using vorel::QwtText;

class TestCandlestickPlot : public QObject
{
    Q_OBJECT

private slots:
    void graphsAreFoundByName();
    void graphOnForeignAxisIsRefused();
    void textAttributes();
    void formatPicksEngine();
    void replacedEngineIsNotUsedAfterDeletion();
    void removedEngineFallsBackToPlain();
    void htmlLayerVisibility();
};

void TestCandlestickPlot::graphsAreFoundByName()
{
    VorelPlot plot;
    QCPGraph* ma5 = plot.addGraph("ma5", nullptr, nullptr);
    QVERIFY(ma5);
    QCOMPARE(ma5->name(), QString("ma5"));
    QCOMPARE(ma5->keyAxis(), plot.xAxis);
    QCOMPARE(ma5->valueAxis(), plot.yAxis);
    QCOMPARE(plot.graph("ma5"), ma5);
    QVERIFY(!plot.graph("ma10"));
    QVERIFY(!plot.graph("MA5"));

    QCPGraph* second = plot.addGraph("ma5", plot.xAxis2, plot.yAxis2);
    QVERIFY(second && second != ma5);
    QCOMPARE(plot.graph("ma5"), ma5);
    QCOMPARE(second->keyAxis(), plot.xAxis2);
}

void TestCandlestickPlot::graphOnForeignAxisIsRefused()
{
    VorelPlot plot;
    VorelPlot other;
    const int before = plot.graphCount();
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("doesn't have this QCustomPlot as parent"));
    QVERIFY(!plot.addGraph("x", other.xAxis, nullptr));
    QCOMPARE(plot.graphCount(), before);
    QCOMPARE(other.graphCount(), 0);
}

void TestCandlestickPlot::textAttributes()
{
    VorelPlot plot;
    plot.resize(200, 100);
    auto* text = new QwtText(&plot, "a", QwtText::PlainText);
    text->setBorderRadius(-3);
    QCOMPARE(text->borderRadius(), 0.0);

    // The text is drawn in its own font and colour while their attributes
    // are set, else in the painter's.
    int draws = 0;
    auto* engine = new CountingEngine(&draws);
    QwtText::setTextEngine(QwtText::PlainText, engine);
    plot.replot();
    const QColor painterColor = *engine->drawnColor;
    const int painterSize = *engine->drawnPointSize;
    const QColor own(184, 26, 26);
    QVERIFY(painterColor != own && painterSize != 15);
    text->setFont(QFont("Sans", 15));
    text->setColor(own);
    plot.replot();
    QCOMPARE(*engine->drawnColor, own);
    QCOMPARE(*engine->drawnPointSize, 15);
    text->setPaintAttribute(QwtText::PaintUsingTextColor, false);
    text->setPaintAttribute(QwtText::PaintUsingTextFont, false);
    plot.replot();
    QCOMPARE(*engine->drawnColor, painterColor);
    QCOMPARE(*engine->drawnPointSize, painterSize);
    QCOMPARE(draws, 3);
    QwtText::setTextEngine(QwtText::PlainText, new QwtPlainTextEngine);

    // A new text is measured anew, not taken from the cache.
    const QFont fallbackFont("Serif", 9);
    const QSizeF shortSize = text->textSize(fallbackFont);
    text->setText("a much longer comment", QwtText::PlainText);
    QVERIFY(text->textSize(fallbackFont).width() > shortSize.width());
}

void TestCandlestickPlot::formatPicksEngine()
{
    const QwtTextEngine* plain = QwtText::textEngine(QwtText::PlainText);
    const QwtTextEngine* rich = QwtText::textEngine(QwtText::RichText);
    QVERIFY(plain && rich && plain != rich);
    QCOMPARE(QwtText::textEngine("<b>涨停</b>", QwtText::AutoText), rich);
    QCOMPARE(QwtText::textEngine("plain words", QwtText::AutoText), plain);
    QCOMPARE(QwtText::textEngine("<b>x</b>", QwtText::PlainText), plain);

    VorelPlot plot;
    QwtText text(&plot, "<b>x</b>", QwtText::AutoText);
    QCOMPARE(text.usedTextEngine(), rich);
    text.setText("<b>x</b>", QwtText::PlainText);
    QCOMPARE(text.usedTextEngine(), plain);
}

void TestCandlestickPlot::replacedEngineIsNotUsedAfterDeletion()
{
    VorelPlot plot;
    plot.resize(200, 100);
    auto* text = new QwtText(&plot, "comment", QwtText::PlainText);
    QCOMPARE(text->usedTextEngine(), QwtText::textEngine(QwtText::PlainText));

    // Replacing deletes the engine the text was made with.
    int draws = 0;
    auto* counting = new CountingEngine(&draws);
    QwtText::setTextEngine(QwtText::PlainText, counting);
    QCOMPARE(text->usedTextEngine(), counting);
    plot.replot();
    QCOMPARE(draws, 1);
    QVERIFY(text->textSize(QFont()).width() > 0);

    // The plain engine cannot be removed; setting the same engine keeps it alive.
    QwtText::setTextEngine(QwtText::PlainText, nullptr);
    QwtText::setTextEngine(QwtText::PlainText, counting);
    QCOMPARE(QwtText::textEngine(QwtText::PlainText), counting);
    plot.replot();
    QCOMPARE(draws, 2);

    QwtText::setTextEngine(QwtText::PlainText, new QwtPlainTextEngine);
    plot.replot();
    QCOMPARE(draws, 2);
}

void TestCandlestickPlot::removedEngineFallsBackToPlain()
{
    VorelPlot plot;
    plot.resize(200, 100);
    QwtText text(&plot, "<b>rich</b>", QwtText::RichText);
    QwtText::setTextEngine(QwtText::RichText, nullptr);
    QCOMPARE(text.usedTextEngine(), QwtText::textEngine(QwtText::PlainText));
    QCOMPARE(QwtText::textEngine("<b>rich</b>", QwtText::AutoText), QwtText::textEngine(QwtText::PlainText));
    plot.replot();

    QwtText::setTextEngine(QwtText::RichText, new QwtRichTextEngine);
    QCOMPARE(text.usedTextEngine(), QwtText::textEngine(QwtText::RichText));
    QVERIFY(text.usedTextEngine() != QwtText::textEngine(QwtText::PlainText));
}

void TestCandlestickPlot::htmlLayerVisibility()
{
    VorelPlot plot;
    auto* html = new vorel::HTMLLayer(&plot);
    html->setLayerVisible(false);   // no such layer yet: nothing to hide

    QVERIFY(plot.addLayer(vorel::HTMLLayer::layerName()));
    plot.setCurrentLayer(vorel::HTMLLayer::layerName());
    auto* onLayer = new vorel::HTMLLayer(&plot);
    QCOMPARE(onLayer->layer(), plot.layer("HtmlLayer"));
    onLayer->setHtml("<b>公告</b> &lt;text&gt;");
    onLayer->setLayerVisible(false);
    QVERIFY(!plot.layer("HtmlLayer")->visible());
    onLayer->setLayerVisible(true);
    QVERIFY(plot.layer("HtmlLayer")->visible());
    plot.resize(200, 100);
    plot.replot();
}

QTEST_MAIN(TestCandlestickPlot)
#include "tst_candlestickplot.moc"
