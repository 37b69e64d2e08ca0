#include "strategy/stockaddonsetting.h"

#include "strategy/addonhost.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QTextDocument>
#include <QtMath>
#include <QTextEdit>

#include <memory>

namespace {

// The details are the add-on's own texts: beyond these the box wraps and
// scrolls rather than grow.
constexpr int kMostDetailsWidth = 600;
constexpr int kMostDetailLines = 8;

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
    , bindButton(new QPushButton(QStringLiteral("绑定"), this))
{
    setWindowTitle(QStringLiteral("绑定插件"));
    setFixedSize(320, 128);   // grown by fitToDetails() where the details need more
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
    details->setText(QStringLiteral("介绍%1\n版本:%2\n作者:%3\n提示:%4")
                         .arg(addon->introduction(), addon->version(), addon->author(),
                              addon->hint()));
    fitToDetails();
}

void StockAddonSetting::fitToDetails()
{
    // 320 x 128 where the details fit in it at the desktop's font; a larger
    // font widens the box to the longest line and heightens it to every
    // line instead of cutting them.
    const QFontMetrics metrics(details->font());
    const int frame = 2 * details->frameWidth();
    const int margins = frame + 2 * qCeil(details->document()->documentMargin());
    int widest = 0;
    for (const QString& line : details->toPlainText().split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    const int width = qMin(widest + margins + 1, kMostDetailsWidth);
    const std::unique_ptr<QTextDocument> wrapped(details->document()->clone());
    wrapped->setTextWidth(width - frame);
    const int height = qMin(qCeil(wrapped->size().height()), kMostDetailLines * metrics.lineSpacing()) + frame;
    details->setMinimumSize(width, height);
    setFixedSize(QSize(320, 128).expandedTo(minimumSizeHint()));
}

void StockAddonSetting::onConfig()
{
    if (AddonRegistry* r = registry())
        r->boundIndex = addons->currentIndex();
    close();
}
