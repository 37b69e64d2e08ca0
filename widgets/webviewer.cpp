#include "widgets/webviewer.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

namespace {

const char* const kTemplatePath = "assets/template";

// Lets the page load files of one folder only; every other request (the
// network, other files) is turned into an invalid request that fails at once.
class AssetsOnlyAccess final : public QNetworkAccessManager
{
public:
    AssetsOnlyAccess(const QString& folder, QObject* parent)
        : QNetworkAccessManager(parent), allowedFolder(QDir::cleanPath(folder) + QLatin1Char('/'))
    {
    }

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request, QIODevice* data) override
    {
        if (op == GetOperation && isAllowed(request.url()))
            return QNetworkAccessManager::createRequest(op, request, data);
        return QNetworkAccessManager::createRequest(op, QNetworkRequest(QUrl()), data);
    }

private:
    bool isAllowed(const QUrl& url) const
    {
        if (!url.isLocalFile())
            return url.scheme() == QLatin1String("data");
        const QString path = QDir::cleanPath(QFileInfo(url.toLocalFile()).absoluteFilePath());
        return path.startsWith(allowedFolder);
    }

    QString allowedFolder;
};

}   // namespace

WebViewer::WebViewer(const QString& title, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    setFixedSize(640, 340);
    setWindowIcon(QIcon(QStringLiteral(":logo/vorel.png")));

    view = new QWebView(this);
    QWebSettings* settings = view->settings();
    settings->setAttribute(QWebSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebSettings::JavaEnabled, false);
    settings->setAttribute(QWebSettings::PluginsEnabled, false);
    settings->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebSettings::LocalContentCanAccessFileUrls, true);   // the template's style sheets
    settings->setAttribute(QWebSettings::LocalStorageEnabled, false);
    const QString assets = QFileInfo(QString::fromLatin1(kTemplatePath)).absolutePath();
    view->page()->setNetworkAccessManager(new AssetsOnlyAccess(assets, view->page()));
    view->page()->setLinkDelegationPolicy(QWebPage::DelegateAllLinks);   // links lead nowhere

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view);
}

void WebViewer::setContent(const QString& html, bool useTemplate)
{
    if (useTemplate) {
        const QString path = QFileInfo(QString::fromLatin1(kTemplatePath)).absoluteFilePath();
        view->setHtml(fillTemplate(path, html), QUrl::fromLocalFile(path));
    } else {
        view->setHtml(html, QUrl::fromLocalFile(QString::fromLatin1(kTemplatePath)));
    }
}
