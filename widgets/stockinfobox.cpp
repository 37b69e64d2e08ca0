#include "widgets/stockinfobox.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLabel* placeholderLabel(QWidget* parent)
{
    return new QLabel(QStringLiteral("-"), parent);
}

// Downloaded texts are shown as plain text, never as rich text.
QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}   // namespace

StockBrief::StockBrief(QWidget* parent)
    : QWidget(parent)
{
    form = new QFormLayout(this);
    conceptGrid = new QGridLayout;
    form->addRow(QStringLiteral("行业"), placeholderLabel(this));
    form->addRow(QStringLiteral("概念"), conceptGrid);
    for (const char* caption : {"上市日期", "上市价格", "发行数量", "所属区域", "主营业务"})
        form->addRow(QString::fromUtf8(caption), placeholderLabel(this));
    form->addRow(QStringLiteral("股东股本"), new QLabel(this));
    for (const char* caption : {"总股本", "流通A股", "人均持股"})
        form->addRow(QString::fromUtf8(caption), placeholderLabel(this));
}

void StockBrief::setConcepts(const QStringList& names)
{
    for (int i = 0; i < names.size(); ++i)
        conceptGrid->addWidget(plainLabel(names.at(i), this), i / 2, i % 2);
}

StockFinance::StockFinance(QWidget* parent)
    : QWidget(parent)
{
    form = new QFormLayout(this);
}

void StockFinance::setData(const StockCompanyInfo& data)
{
    for (const StockReportRow& pair : data.cwbb()) {
        QLabel* value = plainLabel(pair.value2, this);
        auto* caption = plainLabel(pair.value1, this);
        form->addRow(caption, value);
        labels.append(value);
    }
}

StockInfoBox::StockInfoBox(QWidget* parent)
    : QWidget(parent)
{
    setWindowIcon(QIcon(QStringLiteral(":logo/vorel.png")));

    auto* header = new QGridLayout;
    priceLabel = placeholderLabel(this);
    QFont big = priceLabel->font();
    big.setPointSize(36);
    priceLabel->setFont(big);
    header->addWidget(priceLabel, 0, 0, 2, 1);
    const char* captions[] = {"今开", "最低", "昨收", "最高"};
    for (int i = 0; i < 4; ++i) {
        header->addWidget(new QLabel(QString::fromUtf8(captions[i]), this), i / 2, 1 + (i % 2) * 2);
        header->addWidget(placeholderLabel(this), i / 2, 2 + (i % 2) * 2);
    }

    brief = new StockBrief(this);
    finance = new StockFinance(this);
    auto* tabs = new QTabWidget(this);
    tabs->addTab(brief, QStringLiteral("Brief"));
    tabs->addTab(finance, QStringLiteral("Finance"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(tabs);
}

QPalette StockInfoBox::changePalette(double change, const QPalette& base)
{
    QPalette palette = base;
    if (change > 0)
        palette.setBrush(QPalette::WindowText, QBrush(Qt::red));
    else if (change < 0)
        palette.setBrush(QPalette::WindowText, QBrush(Qt::green));
    return palette;
}
