#include "strategy/bidconfigwidget.h"

#include "core/vorelapplication.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpacerItem>

namespace {

QDoubleSpinBox* spinBox(double low, double high, double step, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(low, high);
    box->setSingleStep(step);
    return box;
}

} // namespace

BidConfigWidget::BidConfigWidget(QWidget* parent)
    : QWidget(parent)
{
    const AppConfig& config = vorelApp()->config;
    minPercentBox = spinBox(-10.0, 0.0, 0.1, this);
    minPercentBox->setValue(config.bidMinPercent);
    maxPercentBox = spinBox(0.0, 8.0, 0.1, this);
    maxPercentBox->setValue(config.bidMaxPercent);
    ratioBox = spinBox(0.01, 0.99, 0.001, this);
    ratioBox->setDecimals(3);
    ratioBox->setValue(config.bidRatio);
    useKBox = new QCheckBox(this);
    useKBox->setChecked(config.bidUseK);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("最大跌幅"), this), 0, 0);
    layout->addWidget(minPercentBox, 0, 1);
    layout->addWidget(new QLabel(QString::fromUtf8("最大涨幅"), this), 1, 0);
    layout->addWidget(maxPercentBox, 1, 1);
    layout->addWidget(new QLabel(QString::fromUtf8("最小比率"), this), 2, 0);
    layout->addWidget(ratioBox, 2, 1);
    layout->addWidget(new QLabel(QString::fromUtf8("使用K线判断"), this), 3, 0);
    layout->addWidget(useKBox, 3, 1);
    layout->addItem(new QSpacerItem(20, 200, QSizePolicy::Minimum, QSizePolicy::Expanding), 4, 0);
}

BidConfigWidget::~BidConfigWidget()
{
    AppConfig& config = vorelApp()->config;
    config.bidMaxPercent = float(maxPercentBox->value());
    config.bidMinPercent = float(minPercentBox->value());
    config.bidUseK = useKBox->isChecked();
    config.bidRatio = float(ratioBox->value());
}
