#include "strategy/bidconfigwidget.h"

#include "widgets/settingsform.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QSpacerItem>

BidConfigWidget::BidConfigWidget(QWidget* parent)
    : QWidget(parent), form(new SettingsForm(this))
{
    minPercentBox = form->addDoubleSpin(QStringLiteral("最大跌幅"), {-10.0, 0.0, 0.1}, &AppConfig::bidMinPercent);
    maxPercentBox = form->addDoubleSpin(QStringLiteral("最大涨幅"), {0.0, 8.0, 0.1}, &AppConfig::bidMaxPercent);
    ratioBox = form->addDoubleSpin(QStringLiteral("最小比率"), {0.01, 0.99, 0.001, 3}, &AppConfig::bidRatio);
    useKBox = form->addCheck(QStringLiteral("使用K线判断"), &AppConfig::bidUseK);
    form->load();

    auto* layout = new QGridLayout(this);
    const int end = form->addToGrid(layout, 1, SettingsForm::CheckText::InLabelColumn);
    layout->addItem(new QSpacerItem(20, 200, QSizePolicy::Minimum, QSizePolicy::Expanding), end, 0);
}

BidConfigWidget::~BidConfigWidget()
{
    form->store();
}
