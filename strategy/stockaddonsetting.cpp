#include "strategy/stockaddonsetting.h"

#include "strategy/addonhost.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QTextEdit>

namespace {

AddonRegistry* registry()
{
    VorelAddonHostImpl* host = VorelAddonHostImpl::instance();
    return host ? &host->registry : nullptr;
}

} // namespace

StockAddonSetting::StockAddonSetting(QWidget* parent)
    : QDialog(parent)
    , details(new QTextEdit(this))
    , addons(new QComboBox(this))
    , bindButton(new QPushButton(QString::fromUtf8("绑定"), this))
{
    setWindowTitle(QString::fromUtf8("绑定插件"));
    setFixedSize(320, 128);
    auto* layout = new QGridLayout(this);
    layout->addWidget(details, 0, 0, 1, 2);
    layout->addWidget(addons, 1, 0);
    layout->addWidget(bindButton, 1, 1);
    bindButton->setFixedWidth(64);

    connect(bindButton, &QPushButton::clicked, this, &StockAddonSetting::onConfig);
    connect(addons, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &StockAddonSetting::onChangeAddon);
    // Connected first: adding the first item selects it and shows its details.
    if (AddonRegistry* r = registry()) {
        for (int i = 0; i < r->count(); ++i)
            addons->addItem(r->addonAt(i)->introduction());
    }
}

void StockAddonSetting::onChangeAddon(int index)
{
    AddonRegistry* r = registry();
    VorelAddon* addon = r ? r->addonAt(index) : nullptr;
    if (!addon)
        return;
    details->setText(QString::fromUtf8("介绍%1\n版本:%2\n作者:%3\n提示:%4")
                         .arg(addon->introduction(), addon->version(), addon->author(),
                              addon->hint()));
}

void StockAddonSetting::onConfig()
{
    if (AddonRegistry* r = registry())
        r->boundIndex = addons->currentIndex();
    close();
}
