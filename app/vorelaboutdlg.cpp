#include "app/vorelaboutdlg.h"

#include "addon/vorelinterface.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>

namespace {

const char* const kProgramVersion = "1.7.0.0";
const char* const kSiteUrl = "http://www.vorelstock.cn/";
const char* const kHelpUrl = "http://www.vorelstock.cn/help.html";
const char* const kSdkUrl = "http://www.vorelstock.cn/sdk/";

QLabel* linkLabel(const QString& caption, const char* url, QWidget* parent)
{
    const QString address = QString::fromLatin1(url);
    auto* label = new QLabel(caption + QStringLiteral("<a href=\"%1\">%1</a>").arg(address.toHtmlEscaped()),
                             parent);
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    return label;
}

} // namespace

QString VorelAboutDlg::headingText()
{
    return QStringLiteral("岚蚁选股") + QLatin1Char(' ') + QString::fromLatin1(kProgramVersion)
           + QStringLiteral("(插件版本:%2)").arg(kVorelInterfaceVersion);
}

VorelAboutDlg::VorelAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    const QString heading = headingText();
    setWindowTitle(heading);

    auto* title = new QLabel(heading, this);
    QFont font = title->font();
    font.setPointSize(12);
    title->setFont(font);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QGridLayout(this);
    layout->addWidget(title, 0, 0, 1, 2);
    layout->addWidget(line, 1, 0, 1, 2);
    layout->addWidget(linkLabel(QStringLiteral("网址:"), kSiteUrl, this), 2, 0);
    layout->addWidget(linkLabel(QStringLiteral("帮助:"), kHelpUrl, this), 3, 0);
    layout->addWidget(linkLabel(QStringLiteral("插件SDK:"), kSdkUrl, this), 4, 0);
    layout->addItem(new QSpacerItem(308, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 5, 0);
    layout->addWidget(ok, 5, 1);
    // 410 x 196 where the desktop's font lets the addresses show whole in it;
    // a larger font widens the box instead of cutting them.
    setFixedSize(QSize(410, 196).expandedTo(sizeHint()));
}
