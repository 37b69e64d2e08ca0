#include "app/vorelstockconfigdialog.h"

#include "strategy/bidconfigwidget.h"

#include <QGridLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QTabWidget>

VorelStockConfigDialog::VorelStockConfigDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("软件配置"));
    setFixedSize(320, 280);

    tabs = new QTabWidget(this);
    tabs->addTab(new BidConfigWidget, QStringLiteral("竞价配置"));
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    connect(close, &QPushButton::clicked, this, &VorelStockConfigDialog::onClose);

    auto* layout = new QGridLayout(this);
    layout->addWidget(tabs, 0, 0, 1, 2);
    layout->addItem(new QSpacerItem(298, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 0);
    layout->addWidget(close, 1, 1);
}

void VorelStockConfigDialog::onClose()
{
    close();
}
