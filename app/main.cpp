#include "app/applicationparts.h"
#include "app/vorelstock.h"
#include "core/crashhandler.h"
#include "core/fileutils.h"
#include "core/messagehandler.h"
#include "core/orderlyquit.h"
#include "core/vorelapplication.h"

#include <QStyleFactory>
#include <QTextCodec>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

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
