#pragma once

// The mail account through which pick notifications go out. The form edits
// the [mail] section of "config/config.ini" itself (not the settings record)
// and stores it when closed or destroyed; "测试" sends a test mail and says
// how it went.

#include <QWidget>

class QLineEdit;
class QTextEdit;

class ConfigMail final : public QWidget
{
    Q_OBJECT
public:
    explicit ConfigMail(QWidget* parent = nullptr);
    ~ConfigMail() override;

    // The text shown for a result of sendMail.
    static QString resultText(int result);

public slots:
    void onTest();
    void onClose();

private:
    void load();
    void store();

    QLineEdit* name = nullptr;
    QLineEdit* password = nullptr;
    QLineEdit* port = nullptr;
    QLineEdit* to = nullptr;
    QLineEdit* cc = nullptr;
    QLineEdit* smtp = nullptr;
    QTextEdit* text = nullptr;
};
