#pragma once

// The page "公司公告": the latest company notices of seven notice types, with
// the words of the keyword box shown in red in every title. At the end of each
// download it hands the application the codes of the stocks whose notices
// announce a holding reduction, which the call-auction picking filters by.
// The notices shown stay until the first page of a new search arrives; pages
// that fail are counted on the status line.

#include "core/records.h"
#include "datasource/dataloader.h"
#include "datasource/eastmoneynotice.h"
#include "widgets/pagestatus.h"

#include <QStringList>
#include <QVector>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class NoticeExpress final : public QWidget
{
    Q_OBJECT
public:
    explicit NoticeExpress(QWidget* parent = nullptr);
    ~NoticeExpress() override;

    // `title` with every occurrence of each keyword of `keywords` (separated
    // by ",", "，" or "、", blanks around each ignored) wrapped in red; the
    // title itself is escaped first.
    static QString highlightTitle(const QString& title, const QString& keywords);
    // True for a title that announces a holding reduction.
    static bool isReductionNotice(const QString& title);
    // The trimmed codes of the reduction notices of `notices`, oldest first.
    static QStringList reductionCodesOf(QVector<Data> notices);

    QPushButton* searchButton = nullptr;
    QLineEdit* keywordEdit = nullptr;
    QComboBox* typeCombo = nullptr;
    QTableWidget* table = nullptr;
    QLabel* statusLabel = nullptr;
    QVector<Data> notices;
    EastmoneyInterface source;
    IterateDataLoader loader;

    // Milliseconds between two notice pages.
    int pageInterval = 900;

public slots:
    void onSearch();
    void onRereshData(const QVector<Data>& batch);
    void onUpdateOneRow(const Data& notice);
    void onDone();

private slots:
    void pageFailed(const QString& url, const QString& message);

private:
    void buildTable();

    // The first page of a search replaces the notices shown.
    SearchState search;
    FailureTally failures;
};
