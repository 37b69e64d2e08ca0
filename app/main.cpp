#include "app/applicationparts.h"
#include "app/vorelstock.h"
#include "core/crashhandler.h"
#include "core/fileutils.h"
#include "core/messagehandler.h"
#include "core/orderlyquit.h"
#include "core/vorelapplication.h"

#include <QDir>
#include <QFile>
#include <QStyleFactory>
#include <QTextCodec>
#include <QTranslator>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

// Whether `path` is a runtime folder as Qt accepts one: a folder of this
// user's that no one else may enter.
bool usableRuntimeFolder(const QByteArray& path)
{
    struct stat info = {};
    return !path.isEmpty() && ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 0777) == 0700;
}

// Qt's platform start looks into the session's runtime folder (for the mark
// of a sandbox). Where the session names none, or one Qt refuses, Qt warns on
// the console and leaves a folder of its own in the temporary folder for
// good; such a run gets a private folder instead, made with the rights Qt asks
// for and removed with everything in it when the program ends.
class PrivateRuntimeFolder
{
public:
    PrivateRuntimeFolder()
    {
        if (usableRuntimeFolder(qgetenv("XDG_RUNTIME_DIR")))
            return;
        QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/vorel-runtime-XXXXXX"));
        if (!::mkdtemp(pattern.data()))
            return;   // Qt says what fails, as without this folder
        path = pattern;
        qputenv("XDG_RUNTIME_DIR", path);
        removeFolderOnCrash(path.constData());
    }
    ~PrivateRuntimeFolder()
    {
        if (path.isEmpty())
            return;
        removeFolderOnCrash(nullptr);
        QDir(QFile::decodeName(path)).removeRecursively();
    }
    PrivateRuntimeFolder(const PrivateRuntimeFolder&) = delete;
    PrivateRuntimeFolder& operator=(const PrivateRuntimeFolder&) = delete;

private:
    QByteArray path;
};

} // namespace

int main(int argc, char** argv)
{
    crashHandlerInstalled();   // links in the crash handler, which installs itself before main()
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    // Before the first log line: the log, the settings and the downloads all
    // live in the working folder, never in the folder a shell or a file
    // manager happened to start the program from.
    if (enterWorkingFolder().isEmpty()) {
        std::fprintf(stderr, "cannot enter the working folder (VOREL_WORK_DIR \"%s\", else the program's folder)\n",
                     qgetenv("VOREL_WORK_DIR").constData());
        return 1;
    }
    qInstallMessageHandler(messageHandler);
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    installApplicationParts();
    const PrivateRuntimeFolder runtimeFolder;
    auto app = std::make_unique<VorelApplication>(argc, argv);
    quitInOrderOnTermination(app.get());

    QStyle* style = QStyleFactory::create("Cleanlooks");
    QApplication::setStyle(style ? style : QStyleFactory::create("Fusion"));

    auto* translator = new QTranslator(app.get());
    if (translator->load(":qrc/qt_zh_CN.qm"))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;

    qDebug("%s started", qPrintable(QApplication::applicationName()));
    auto window = std::make_unique<VorelStock>();
    app->init(window.get());
    int result = 0;
    if (!terminationRequested()) {
        window->show();
        result = QApplication::exec();
    }

    window.reset();
    app.reset();
    qDebug("stopped");
    return result;
}
