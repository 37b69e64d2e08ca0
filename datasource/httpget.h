#pragma once

// The blocking GET, for a bare URL and for a web source, and what it shares
// with the download queues: the request with its provider's headers, the
// limits of a request, what counts as a whole reply, and the decoding of its
// body. It touches the network only, never a file.

#include <QNetworkRequest>
#include <QString>

class QNetworkReply;
class QObject;
class QUrl;
class WebSource;

// Fetches `url` and returns its body as text, running a local event loop on
// the calling thread meanwhile (timers and input go on being served, so the
// caller may be re-entered). Sends the headers of the URL's provider
// (providerhosts.h) and no others. Only the body of a whole success answer
// (status 2xx) is returned; anything else gives the empty string, and
// `failure` (when given) says why: an error status with the provider's error
// page, a transport error, a body cut off before its announced end, a request
// given up for silence, for its time limit or for its size, and a request
// still running when the program quits or `owner` (the page that asked, when
// given) goes away. A success gives an empty `failure`.
//
// Every thread keeps one network manager for all its blocking GETs (made on
// its first request, gone with the thread); it keeps no cookies, so each
// request carries only its own headers.
QString httpGet(const QString& url, const QObject* owner = nullptr, QString* failure = nullptr);

// The blocking GET of `url` for `source` (httpGet, `owner` as there): the body
// of a whole success answer that has the source's form, else the empty string
// with `failure` saying why (answerFailure, webinterface.h).
QString fetchForSource(const WebSource& source, const QString& url, const QObject* owner, QString* failure);

// A GET request of `url` with the headers of its provider; the blocking GET
// and the download queues send no other.
QNetworkRequest providerRequest(const QUrl& url);

// Milliseconds without an answer after which httpGet and the download queues
// give a request up: 30 seconds unless a test sets another value.
int requestTimeout();
void setRequestTimeout(int milliseconds);

// Milliseconds after which a request is given up however slowly its bytes
// still come: 90 seconds unless a test sets another value.
int requestTimeLimit();
void setRequestTimeLimit(int milliseconds);

// Bytes of a body beyond which a request is given up: far above any real
// answer (64 MB) unless a test sets another value.
qint64 downloadSizeLimit();
void setDownloadSizeLimit(qint64 bytes);

// True when `reply` finished without a transport error and its body is whole:
// the announced length arrived. An HTTP error status with its whole page is a
// whole reply. Qt finishes a chunked body that the connection broke off before
// its last chunk like a whole one unless it reports the break as an error
// (whether it does depends on timing); such a body is caught only then, so
// stored bodies are checked for their closing marks as well.
bool isWholeReply(QNetworkReply* reply);

// Why a finished reply brought no usable body, as a short text a page can
// show after its own words: Qt's error text, "HTTP 403 Forbidden" for an
// answer outside 2xx, or a note that the body came cut or the request was
// given up. Empty for a whole success answer.
QString requestFailure(QNetworkReply* reply);

// The body of a finished reply as text: the charset its Content-Type declares,
// else UTF-8 when valid, else GB18030; the text ends at a zero byte. Reads
// (consumes) the reply's data.
QString readReplyText(QNetworkReply* reply);

// Aborts `reply` (it then finishes with an error) once it has been silent for
// requestTimeout() milliseconds, every arriving piece of data restarting that
// wait, once it has run for requestTimeLimit() milliseconds in all, or once
// its body is larger than downloadSizeLimit(): as soon as its Content-Length
// announces it or its bytes pass the limit, so that such a body is never held
// whole. Bounds the reply's read buffer to twice the limit (at least 1 MB
// above it): Qt reads no further ahead, however long the caller's thread is
// busy.
void abortWhenStuckOrTooLarge(QNetworkReply* reply);
