#include "pages/stockdataupdate.h"

#include "core/datafolders.h"
#include "core/vorelapplication.h"
#include "datasource/httpget.h"
#include "datasource/stockifenginterface.h"
#include "datasource/stockqqhistoryinterface.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const int kFirstTickMs = 600;
const int kWidestDialog = 1000;

// The label, a sunken line, the progress bar and a box with Cancel.
QProgressBar* buildLayout(QDialog* dialog, const QString& text, QLabel** label, QDialogButtonBox** buttons)
{
    dialog->setWindowTitle(QStringLiteral("数据更新"));
    dialog->setFixedSize(400, 96);
    auto* layout = new QVBoxLayout(dialog);
    *label = new QLabel(text, dialog);
    // It says what failed at the end of a run, within the fixed width.
    fitToPage(*label);
    layout->addWidget(*label);
    auto* line = new QFrame(dialog);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    auto* progress = new QProgressBar(dialog);
    progress->setValue(0);
    layout->addWidget(progress);
    *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, Qt::Horizontal, dialog);
    layout->addWidget(*buttons);
    return progress;
}

// Says what failed on the dialog's label, the dialog widened as far as the
// text needs: the reason is the part the user must read, and it comes last.
void sayWhatFailed(QDialog* dialog, QLabel* label, const QString& text)
{
    showStatus(label, text);
    const int needed = label->fontMetrics().horizontalAdvance(text) + dialog->width() - label->width() + 8;
    dialog->setFixedWidth(qBound(dialog->width(), needed, kWidestDialog));
}

} // namespace

// ---------------------------------------------------------------------------

StockDataUpdate::StockDataUpdate(QWidget* parent) : QDialog(parent)
{
    progress = buildLayout(this, QStringLiteral("正在同步股票列表,请稍等"), &label, &buttons);
    connect(buttons, &QDialogButtonBox::clicked, this, &StockDataUpdate::onClick);
    connect(&loader, &DataLoader::sendStock, this, &StockDataUpdate::onUpdate);
    connect(&loader, &DataLoader::sendOK, this, &StockDataUpdate::onOK);
    connect(&loader, &DataLoader::sendFailure, this, &StockDataUpdate::listFailed);
    loader.stockInterface = &listSource;
    loader.setUrls(listSource.urls(QStringList()), QStringList());
    startDelay.start(kFirstTickMs);
}

void StockDataUpdate::timerEvent(QTimerEvent* event)
{
    if (!startDelay.claim(event)) {
        QDialog::timerEvent(event);
        return;
    }
    loader.start();
}

void StockDataUpdate::onClick(QAbstractButton* button)
{
    if (button == buttons->button(QDialogButtonBox::Cancel))
        close();
}

void StockDataUpdate::onUpdate(const QVector<Stock>& stocks)
{
    progress->setValue(62);
    QMap<QString, Stock> pool;
    for (const Stock& stock : stocks)
        pool.insert(stock.code, stock);
    if (!pool.isEmpty())
        vorelApp()->stockPool = pool;
    progress->setValue(99);
}

void StockDataUpdate::listFailed(const QString&, const QString& message)
{
    failure = failureText(QStringLiteral("股票列表下载"), message);
}

void StockDataUpdate::onOK()
{
    // A stock list that cannot be read gives nothing; the pool then stays.
    const QMap<QString, Stock> listed = vorelApp()->loadShareList(QString());
    if (!listed.isEmpty())
        vorelApp()->stockPool = listed;
    if (failure.isEmpty()) {
        close();
        return;
    }
    // the bar stays where the sync reached: the list it stands for never came
    sayWhatFailed(this, label, failure);
}

// ---------------------------------------------------------------------------

StockDownLoadDlg::StockDownLoadDlg(const QStringList& codes, QWidget* parent)
    : QDialog(parent), source(new StockiFengInterface), codes(codes)
{
    progress = buildLayout(this, QStringLiteral("正在更新数据,请稍等"), &label, &buttons);
    // Nothing here can be stopped half-way: the dialog takes no input.
    setEnabled(false);
    buttons->setEnabled(false);
    // The histories are written whole into this folder, which must exist.
    QDir().mkpath(QString::fromLatin1(kDownloadFolder));
    source->setParameter(CacheDirParameter, QString::fromLatin1(kDownloadFolder));
    urls = source->urls(codes);
    total = codes.size() + 1;
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    downloads.start(kFirstTickMs, total);
}

StockDownLoadDlg::~StockDownLoadDlg() = default;

void StockDownLoadDlg::timerEvent(QTimerEvent* event)
{
    if (!downloads.claim(event)) {
        QDialog::timerEvent(event);
        return;
    }
    if (downloads.isEmpty() || urls.isEmpty()) {
        finish();
        return;
    }
    // The parser stores what parses of a success answer; the records
    // themselves are not needed.
    QString failure;
    QPointer<StockDownLoadDlg> self(this);
    const QString body = fetchForSource(*source, urls.last(), this, &failure);
    if (!self)
        return;
    failures.add(failure);
    source->parse(body, downloads.takeLast());
    urls.removeLast();
    progress->setValue(downloads.percentDone());
    downloads.startNext(tickInterval);
}

void StockDownLoadDlg::finish()
{
    if (failures.count() == 0) {
        close();
        return;
    }
    // The bar and the lead words tell what was stored, not how far the run
    // went: a run whose every download failed updated nothing.
    const int codeCount = total - 1;
    const int stored = codeCount - failures.count();
    const QString failed = failures.text(QStringLiteral("只股票"), codeCount);
    sayWhatFailed(this, label,
                  stored == 0 ? failureText(QStringLiteral("更新"), failed)
                              : withFailures(QStringLiteral("更新完毕"), failed));
    progress->setValue(progressPercent(stored, codeCount));
    // Nothing runs any more: the user may read the label and close.
    setEnabled(true);
    buttons->setEnabled(true);
}
