#include "pages/noticeexpress.h"

#include "core/vorelapplication.h"
#include "widgets/elidedlabel.h"
#include "widgets/reporttable.h"
#include "widgets/stocklistview.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>

#include <algorithm>

namespace {

// The notice types of the host, in the order their pages are fetched.
const char* const kNoticeTypes[] = {"5", "1", "2", "3", "6", "4", "7"};

const char* const kTypeNames[] = {"重大事项", "财务报告", "融资公告", "风险提示", "资产重组", "信息变更", "持股变动"};

enum Column { CodeColumn, NameColumn, TitleColumn, TypeColumn, DateColumn, ColumnCount };

// Keywords as a user types them: separated by an ASCII or a full-width comma
// or by "、", blanks around them ignored.
QStringList keywordsOf(const QString& text)
{
    QStringList keywords;
    for (const QString& part : text.split(QRegularExpression(QStringLiteral("[,，、]")))) {
        const QString keyword = part.trimmed();
        // an empty keyword would match between every two characters
        if (!keyword.isEmpty())
            keywords.append(keyword);
    }
    return keywords;
}

} // namespace

NoticeExpress::NoticeExpress(QWidget* parent)
    : QWidget(parent)
{
    loader.noticeInterface = &source;

    auto* layout = new QGridLayout(this);
    typeCombo = new QComboBox(this);
    for (const char* name : kTypeNames)
        typeCombo->addItem(QString::fromUtf8(name));
    searchButton = new QPushButton(QStringLiteral("搜索"), this);
    keywordEdit = new QLineEdit(this);
    table = new QTableWidget(this);
    buildTable();

    layout->addWidget(new QLabel(QStringLiteral("公告类型"), this), 0, 0);
    layout->addWidget(typeCombo, 0, 1, 1, 2);
    layout->addWidget(searchButton, 0, 3);
    statusLabel = createStatusLabel(this);
    layout->addWidget(statusLabel, 0, 4, 1, 8);
    layout->addWidget(new QLabel(QStringLiteral("关键字高亮"), this), 2, 0);
    layout->addWidget(keywordEdit, 2, 1, 1, 2);
    layout->addWidget(table, 3, 0, 6, 12);

    connect(searchButton, &QPushButton::clicked, this, &NoticeExpress::onSearch);
    connect(&loader, &DataLoader::sendData, this, &NoticeExpress::onRereshData);
    connect(&loader, &DataLoader::sendOK, this, &NoticeExpress::onDone);
    connect(&loader, &DataLoader::sendFailure, this, &NoticeExpress::pageFailed);
}

NoticeExpress::~NoticeExpress() = default;

void NoticeExpress::buildTable()
{
    setUpReportTable(table, {QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("公告"),
                             QStringLiteral("类别"), QStringLiteral("日期")});
    setColumnWidths(table, {64, 72, 420, 96, 128});
    table->setSortingEnabled(true);
    // newest notices on top
    table->sortByColumn(DateColumn, Qt::DescendingOrder);
}

QString NoticeExpress::highlightTitle(const QString& title, const QString& keywords)
{
    // Mark which keyword occurrence covers each character of the plain title,
    // then emit escaped runs: a keyword can neither match inside the markup
    // of another nor inject markup of the host's text into the label. Where
    // occurrences overlap, the earlier keyword keeps its characters.
    const int unmarked = -1;
    QVector<int> owner(title.size(), unmarked);
    int occurrence = 0;
    for (const QString& keyword : keywordsOf(keywords)) {
        for (int at = title.indexOf(keyword, 0, Qt::CaseSensitive); at >= 0;
             at = title.indexOf(keyword, at + keyword.size(), Qt::CaseSensitive), ++occurrence) {
            for (int i = at; i < at + keyword.size(); ++i) {
                if (owner.at(i) == unmarked)
                    owner[i] = occurrence;
            }
        }
    }
    QString html;
    int start = 0;
    while (start < title.size()) {
        int end = start;
        while (end < title.size() && owner.at(end) == owner.at(start))
            ++end;
        const QString run = title.mid(start, end - start).toHtmlEscaped();
        html += owner.at(start) == unmarked ? run : QString("<font color=red>%1</font>").arg(run);
        start = end;
    }
    return html;
}

bool NoticeExpress::isReductionNotice(const QString& title)
{
    if (title.contains(QStringLiteral("不减持"), Qt::CaseSensitive))
        return false;
    return title.contains(QStringLiteral("减持"), Qt::CaseSensitive);
}

QStringList NoticeExpress::reductionCodesOf(QVector<Data> notices)
{
    std::stable_sort(notices.begin(), notices.end(),
                     [](const Data& a, const Data& b) { return a.date < b.date; });
    QStringList codes;
    for (const Data& notice : notices) {
        if (isReductionNotice(notice.fields.value("title")))
            codes.append(notice.code.trimmed());
    }
    return codes;
}

void NoticeExpress::onSearch()
{
    // Pages of a run still in flight would be added to the fresh table a
    // second time; the button comes back when the run is done.
    if (!search.begin())
        return;
    failures.reset();
    showStatus(statusLabel, QString());
    searchButton->setEnabled(false);
    loader.interval = pageInterval;
    QStringList types;
    for (const char* type : kNoticeTypes)
        types.append(QString::fromLatin1(type));
    loader.setUrls(source.urls(types), types);
    loader.start();
}

void NoticeExpress::onRereshData(const QVector<Data>& batch)
{
    if (search.takeFirstAnswer()) {
        notices.clear();
        table->setRowCount(0);
        table->clearContents();
    }
    for (const Data& notice : batch)
        onUpdateOneRow(notice);
}

void NoticeExpress::onUpdateOneRow(const Data& notice)
{
    if (notice.code.isEmpty())
        return;
    notices.append(notice);
    // the row is filled unsorted and sorted into place once complete
    table->setSortingEnabled(false);
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, CodeColumn, centredItem(notice.code));
    table->setItem(row, NameColumn, centredItem(notice.name));
    // A long title is cut at the column's edge; its tooltip shows it whole.
    const QString keywords = keywordEdit->text();
    const QString titleText = notice.fields.value("title");
    auto* title = new ElidedLabel(titleText,
                                  [keywords](const QString& shown) { return highlightTitle(shown, keywords); });
    setSortedCellWidget(table, row, TitleColumn, title, titleText);
    table->setItem(row, TypeColumn, new QTableWidgetItem(notice.fields.value("type")));
    table->setItem(row, DateColumn, new QTableWidgetItem(notice.date));
    widenColumnsToRow(table, row);
    table->setSortingEnabled(true);
}

void NoticeExpress::pageFailed(const QString&, const QString& message)
{
    failures.add(message);
    showStatus(statusLabel, failures.text(QStringLiteral("类公告")));
}

void NoticeExpress::onDone()
{
    // A run that brought not one page (every page failed) knows nothing, and
    // neither does one without a notice: an empty list would silently switch
    // the auction's reduction filter off.
    const bool nothingArrived = search.awaitingFirstAnswer();
    search.end();
    searchButton->setEnabled(true);
    if (nothingArrived || notices.isEmpty())
        return;
    if (VorelApplication* app = vorelApp())
        app->reductionCodes = reductionCodesOf(notices);
}
