#pragma once

// The three ways a download fails that every page must name on its status
// line, as rows of a data-driven test: an error status with its error page,
// an error page served as a success, and the provider's own answer cut off
// in the middle (whole as far as the network can tell, as a chunked answer
// broken off between chunks often is). Column "failure" names the way,
// column "reason" is what the page names after its own words.
//
//   QFETCH(QString, failure);
//   server.serve(path, failedAnswer(failure, goodAnswer));

#include "datasource/webinterface.h"
#include "tests/support/testhttpserver.h"

#include <QString>
#include <QTest>

inline void addFailedAnswerRows()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("HTTP 500") << QStringLiteral("status") << QStringLiteral("HTTP 500 Internal Server Error");
    QTest::newRow("error page") << QStringLiteral("error page") << unreadableAnswer();
    QTest::newRow("cut body") << QStringLiteral("cut") << unreadableAnswer();
}

// The server's answer for the row's `failure`; `answer` is a good answer in
// the provider's form (GBK, as the providers serve), of which the cut row
// sends the first half and one character more (a body of equal records would
// else be cut right behind one).
inline TestHttpServer::Reply failedAnswer(const QString& failure, const QString& answer)
{
    if (failure == QLatin1String("cut"))
        return TestHttpServer::Reply::gbk(answer.left(answer.size() / 2 + 1));
    if (failure == QLatin1String("error page"))
        return TestHttpServer::Reply::gbk(QStringLiteral("<html><body>系统繁忙,请稍后再试</body></html>"));
    TestHttpServer::Reply status = TestHttpServer::Reply::gbk(QStringLiteral("<html><body>服务器内部错误</body></html>"));
    status.status = 500;
    return status;
}

// The data tag of the running row, fit for a file name.
inline QString failureTag()
{
    return QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
}
