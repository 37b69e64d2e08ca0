#include "widgets/vorelstockmsgbox.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>

namespace {

const int kWidth = 248;
const int kHeight = 128;

} // namespace

VorelStockMsgBox::VorelStockMsgBox(const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent)
{
    setWindowIcon(QIcon(":logo/vorel.png"));
    setWindowTitle(title);

    auto* layout = new QGridLayout(this);

    auto* message = new QLabel(text, this);
    message->setOpenExternalLinks(true);
    message->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    message->setWordWrap(true);
    message->adjustSize();
    layout->addWidget(message, 0, 0, 1, 3);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    layout->addWidget(separator, 1, 0, 2, 3);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(ok, 2, 1, 2, 1);

    layout->addItem(new QSpacerItem(66, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 3, 0);
    layout->addItem(new QSpacerItem(66, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 3, 2);

    // The box keeps its width and grows downwards until the whole text shows:
    // a scan summary runs to several lines in any desktop font.
    setFixedSize(kWidth, qMax(kHeight, layout->totalHeightForWidth(kWidth)));
}
