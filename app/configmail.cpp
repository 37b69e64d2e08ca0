#include "app/configmail.h"

#include "core/datafolders.h"
#include "core/inifile.h"
#include "core/mail.h"
#include "widgets/vorelstockmsgbox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QTextEdit>

namespace {

const char* const kSection = "mail";

QLineEdit* addField(QGridLayout* grid, const QString& label, int row, int column)
{
    auto* edit = new QLineEdit;
    grid->addWidget(new QLabel(label), row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

// Values are stored as UTF-8: an account name or password outside Latin-1
// must come back as it was typed, not as question marks.
QString read(const IniFile& ini, const char* key, const char* fallback = "")
{
    return QString::fromStdString(ini.getValue(kSection, key, fallback));
}

void write(IniFile& ini, const char* key, const QLineEdit* edit)
{
    ini.setValue(kSection, key, edit->text().trimmed().toStdString());
}

} // namespace

ConfigMail::ConfigMail(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("邮箱配置"));
    auto* grid = new QGridLayout(this);
    name = addField(grid, QStringLiteral("邮箱"), 0, 0);
    password = addField(grid, QStringLiteral("密码"), 0, 2);
    port = addField(grid, QStringLiteral("端口"), 1, 0);
    smtp = addField(grid, QStringLiteral("SMTP"), 1, 2);
    to = addField(grid, QStringLiteral("收件人"), 2, 0);
    cc = addField(grid, QStringLiteral("抄送"), 2, 2);
    text = new QTextEdit;
    text->setPlainText(QStringLiteral("欢迎使用岚蚁选股软件"));
    grid->addWidget(text, 3, 0, 1, 6);
    auto* row = new QHBoxLayout;
    row->addItem(new QSpacerItem(214, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    auto* test = new QPushButton(QStringLiteral("测试"));
    row->addWidget(test);
    grid->addLayout(row, 4, 0, 1, 4);
    connect(test, &QPushButton::clicked, this, &ConfigMail::onTest);
    load();
}

ConfigMail::~ConfigMail()
{
    store();
}

void ConfigMail::load()
{
    IniFile ini(kSettingsFile);
    name->setText(read(ini, "name"));
    // a password may hold blanks: it is read whole, not up to its first blank
    password->setText(QString::fromStdString(ini.getText(kSection, "password", "")));
    smtp->setText(read(ini, "smpt"));
    to->setText(read(ini, "to"));
    port->setText(read(ini, "port", "25"));
    cc->setText(read(ini, "cc"));
}

void ConfigMail::store()
{
    IniFile ini(kSettingsFile);
    write(ini, "name", name);
    write(ini, "password", password);
    write(ini, "smpt", smtp);
    write(ini, "port", port);
    write(ini, "to", to);
    write(ini, "cc", cc);
    ini.close();
}

QString ConfigMail::resultText(int result)
{
    // The program has no mail transport (core/mail): any answer but "sent"
    // means no mail went out, and naming a connection, login or sending
    // failure would name a cause that never happened. The settings are
    // stored when the form closes, as before, not by the test.
    if (result == 0)
        return QStringLiteral("测试成功");
    return QStringLiteral("本程序不发送邮件,测试邮件没有发出,邮箱设置在关闭本窗口时保存");
}

void ConfigMail::onTest()
{
    const int result = sendMail(QStringLiteral("测试"), text->toPlainText(), 1);
    VorelStockMsgBox box(QStringLiteral("岚蚁选股"), resultText(result), this);
    box.exec();
}

void ConfigMail::onClose()
{
    store();
    close();
}
