#pragma once

// The page "业绩报表": the quarterly earnings report of a chosen year and
// quarter, fetched one page per 200 ms tick until a page comes back empty or
// every page is read, in a sortable ten-column table. The rows of the last
// report stay until the first page of the next one arrives; a first page
// without rows empties the table and says the quarter has no report yet. A
// page that fails ends the run and says so.

#include "core/tickqueue.h"
#include "datasource/sinaachievementinterface.h"
#include "widgets/pagestatus.h"

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class ArchieveReport final : public QWidget
{
    Q_OBJECT
public:
    explicit ArchieveReport(QWidget* parent = nullptr);
    ~ArchieveReport() override;

    QTableWidget* table = nullptr;
    QComboBox* yearBox = nullptr;
    QComboBox* quarterBox = nullptr;
    QPushButton* searchButton = nullptr;
    QLabel* statusLabel = nullptr;
    SinaAchievementInterface source;
    QStringList pendingUrls;

    // Milliseconds between two page requests.
    int pageInterval = 200;

public slots:
    void onClick();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void appendRow(const QMap<QString, QString>& row);
    void finish();

    TickQueue pages{this, pendingUrls};
    SearchState search;
    // The year and quarter of the run, which the boxes may no longer show.
    QStringList reportArgs;
};
