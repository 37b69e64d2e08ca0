#pragma once

// The about box: program name, version and add-on interface version, and
// links to the web site, the help page and the add-on kit.

#include <QDialog>

class VorelAboutDlg final : public QDialog
{
    Q_OBJECT
public:
    explicit VorelAboutDlg(QWidget* parent = nullptr);

    // "岚蚁选股 1.7.0.0(插件版本:1000)": the title and the heading.
    static QString headingText();
};
