#pragma once

// The main window: a vertical icon list of pages on the left, the selected page
// on the right, and the menus that open the K-line chart window and dialogs.
// Every page is built once, here, and lives as long as the window.

#include <QMainWindow>

class QListWidget;
class QStackedWidget;

class VorelStock : public QMainWindow
{
    Q_OBJECT
public:
    explicit VorelStock(QWidget* parent = nullptr);
    ~VorelStock() override;

    QListWidget* pageList = nullptr;
    QStackedWidget* pageStack = nullptr;

public slots:
    void changePage(int index);
    // the about box and the settings dialog, both modal.
    void visitBox();
    void visitConfigBox();
    // add-on strategies: the scan dialog and the bind dialog, both modal.
    void visitAddonScanner();
    void setAddonScanner();
    void showCandistickWidget();

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createPages();
    void addPage(const QString& iconPath, const QString& text, QWidget* page);
    void fitPageList();
};
