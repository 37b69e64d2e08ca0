#include "app/configmail.h"

#include "core/inifile.h"
#include "tests/support/dialogrows.h"
#include "tests/support/screenshot.h"
#include "tests/support/sharelistfixture.h"
#include "widgets/vorelstockmsgbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const char* const kFile = "config/config.ini";

void writeConfig(const QByteArray& text)
{
    QFile file(kFile);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QByteArray readConfig()
{
    QFile file(kFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The six edits in the order the form lays them out: 邮箱, 密码, 端口, SMTP, 收件人, 抄送.
QList<QLineEdit*> edits(ConfigMail& form)
{
    return form.findChildren<QLineEdit*>();
}

QStringList texts(ConfigMail& form)
{
    QStringList all;
    for (QLineEdit* edit : edits(form))
        all << edit->text();
    return all;
}

// The labels of the six edits and the keys they are stored under.
const QList<QPair<QString, const char*>> kFields = {
    {QStringLiteral("邮箱"), "name"}, {QStringLiteral("密码"), "password"}, {QStringLiteral("端口"), "port"},
    {QStringLiteral("SMTP"), "smpt"}, {QStringLiteral("收件人"), "to"},     {QStringLiteral("抄送"), "cc"},
};

QLineEdit* editBeside(ConfigMail& form, const QString& label)
{
    return qobject_cast<QLineEdit*>(controlBeside(&form, label));
}

} // namespace

class TestConfigMail : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(kFile); }

    void fieldsComeFromTheMailSection_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("no file") << QByteArray() << QStringList{"", "", "25", "", "", ""};
        QTest::newRow("no mail section") << QByteArray("[hammer]\nquantHammerMaN=21\n")
                                         << QStringList{"", "", "25", "", "", ""};
        QTest::newRow("every key") << QByteArray("[mail]\nname=me@x.cn\npassword=pw\nsmpt=smtp.x.cn\n"
                                                 "to=you@x.cn\nport=465\ncc=boss@x.cn\n")
                                   << QStringList{"me@x.cn", "pw", "465", "smtp.x.cn", "you@x.cn", "boss@x.cn"};
        QTest::newRow("first word only") << QByteArray("[mail]\nname=a b\n") << QStringList{"a", "", "25", "", "", ""};
        QTest::newRow("password whole") << QByteArray("[mail]\npassword= my  secret pw \n")
                                        << QStringList{"", "my  secret pw", "25", "", "", ""};
    }

    void fieldsComeFromTheMailSection()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, shown);
        if (!file.isEmpty())
            writeConfig(file);
        ConfigMail form;
        QCOMPARE(texts(form), shown);
    }

    void closingStoresTheTrimmedFieldsAndKeepsTheRest()
    {
        writeConfig("[hammer]\n# mine\nquantHammerMaN=30\n\n[mail]\nname=old@x.cn\n");
        auto form = std::make_unique<ConfigMail>();
        form->show();
        const QList<QLineEdit*> fields = edits(*form);
        fields.at(0)->setText("  new@x.cn ");
        fields.at(1)->setText(QStringLiteral("密码1"));
        fields.at(3)->setText("smtp.x.cn");
        form->onClose();
        QVERIFY(!form->isVisible());

        IniFile ini;
        QVERIFY(ini.load(kFile));
        QCOMPARE(ini.getValue("mail", "name", ""), std::string("new@x.cn"));
        QCOMPARE(ini.getValue("mail", "smpt", ""), std::string("smtp.x.cn"));
        QCOMPARE(ini.getValue("mail", "port", ""), std::string("25"));
        QCOMPARE(ini.getValue("hammer", "quantHammerMaN", 0), 30);
        ini.close();
        QVERIFY(readConfig().startsWith("[hammer]\n# mine\nquantHammerMaN=30\n\n[mail]\n"));

        // A password outside Latin-1 comes back as typed.
        form.reset();
        ConfigMail again;
        QCOMPARE(edits(again).at(1)->text(), QStringLiteral("密码1"));
    }

    void everyFieldKeepsToItsOwnKey_data()
    {
        QTest::addColumn<QStringList>("entered");
        QTest::addColumn<QStringList>("shownAgain");
        // in the order of kFields; no two fields hold the same text
        QTest::newRow("a text of its own in each")
            << QStringList{"me@x.cn", "pw2", "587", "smtp.x.cn", "you@x.cn", "boss@x.cn"}
            << QStringList{"me@x.cn", "pw2", "587", "smtp.x.cn", "you@x.cn", "boss@x.cn"};
        // an emptied port is the default port again
        QTest::newRow("every field emptied")
            << QStringList{"", " ", "", "", "  ", ""} << QStringList{"", "", "25", "", "", ""};
    }

    // Each edit found by its label: filled from its own key, and stored under it.
    void everyFieldKeepsToItsOwnKey()
    {
        QFETCH(QStringList, entered);
        QFETCH(QStringList, shownAgain);
        writeConfig("[mail]\nname=n@x.cn\npassword=pw1\nsmpt=mail.x.cn\nto=t@x.cn\nport=465\ncc=c@x.cn\n");
        const QStringList stored = {"n@x.cn", "pw1", "465", "mail.x.cn", "t@x.cn", "c@x.cn"};
        {
            ConfigMail form;
            for (int i = 0; i < kFields.size(); ++i) {
                QLineEdit* edit = editBeside(form, kFields.at(i).first);
                QVERIFY2(edit, qPrintable(kFields.at(i).first));
                QCOMPARE(edit->text(), stored.at(i));
                edit->setText(entered.at(i));
            }
            form.onClose();
        }
        IniFile ini;
        QVERIFY(ini.load(kFile));
        for (int i = 0; i < kFields.size(); ++i) {
            QCOMPARE(QString::fromStdString(ini.getText("mail", kFields.at(i).second, "<missing>")),
                     entered.at(i).trimmed());
        }
        ini.close();
        ConfigMail again;
        for (int i = 0; i < kFields.size(); ++i)
            QCOMPARE(editBeside(again, kFields.at(i).first)->text(), shownAgain.at(i));
    }

    void passwordWithBlanksIsWrittenBackWhole()
    {
        {
            ConfigMail form;
            edits(form).at(1)->setText(" open sesame ");
        }
        {
            ConfigMail again;
            QCOMPARE(edits(again).at(1)->text(), QString("open sesame"));
        }
        // shown whole and stored whole again after a second round
        QVERIFY(readConfig().contains("password=open sesame\n"));
    }

    void destroyingTheFormStoresTheFields()
    {
        {
            ConfigMail form;
            edits(form).at(4)->setText("you@x.cn");
        }
        IniFile ini;
        QVERIFY(ini.load(kFile));
        QCOMPARE(ini.getValue("mail", "to", ""), std::string("you@x.cn"));
        ini.close();
    }

    // No mail transport is configured here: the test must not claim success,
    // nor a failure of a connection that was never tried; what was typed stays
    // in the form for the close to store, as the reply says.
    void testMailSaysWhatHappened()
    {
        writeConfig("[mail]\nname=old@x.cn\n");
        ConfigMail form;
        edits(form).at(0)->setText("new@x.cn");
        QStringList seen;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&seen]() {
            auto* box = qobject_cast<VorelStockMsgBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen << box->windowTitle() + "|" + box->findChild<QLabel*>()->text();
            saveScreenshot(box, "configmail-test-reply");
            box->done(0);
        });
        closer.start(5);
        for (QPushButton* button : form.findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("测试"))
                button->click();
        }
        QCOMPARE(seen, QStringList{QStringLiteral("岚蚁选股|本程序不发送邮件,测试邮件没有发出,邮箱设置在关闭本窗口时保存")});
        QCOMPARE(edits(form).at(0)->text(), QString("new@x.cn"));
        QCOMPARE(readConfig(), QByteArray("[mail]\nname=old@x.cn\n"));
    }
};

int main(int argc, char** argv)
{
    return runInWorkingFolder<TestConfigMail, QApplication>(argc, argv, {"config"});
}

#include "tst_configmail.moc"
