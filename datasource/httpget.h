#pragma once

// The blocking GET and what it shares with the download queues: the time-out
// and the decoding of a reply's body.

#include <QString>

class QNetworkReply;

// Fetches `url` and returns its body as text, running a local event loop on
// the calling thread meanwhile (timers and input go on being served, so the
// caller may be re-entered). Sends no headers of its own. Whatever body came
// back is returned, an error page included; a request without an answer for
// requestTimeout() milliseconds is abandoned and gives the empty string.
QString httpGet(const QString& url);

// Milliseconds without an answer after which httpGet and the download queues
// give a request up: 30 seconds unless a test sets another value.
int requestTimeout();
void setRequestTimeout(int milliseconds);

// The body of a finished reply as text: the charset its Content-Type declares,
// else UTF-8 when valid, else GB18030; the text ends at a zero byte. Reads
// (consumes) the reply's data.
QString readReplyText(QNetworkReply* reply);

// Aborts `reply` (it then finishes with an error) once it has been silent for
// requestTimeout() milliseconds; every arriving piece of data restarts the wait.
void abortWhenSilent(QNetworkReply* reply);
