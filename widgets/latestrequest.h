#pragma once

// Whether the answer of a click-started request still belongs to what the
// page shows. The blocking GET runs a local event loop (httpget.h): while it
// waits, the page takes clicks, and one of them may ask for another stock or
// replace the list before the answer is back; a request started meanwhile
// runs inside the first one's wait and comes back before it. Every request
// takes a ticket, and an answer whose ticket a later request or the page's
// moving on has passed is late: the page may keep it in its cache, but never
// shows it, so the last thing asked for is the one that shows.
//
//   if (requests.isAsking(key))      // the same request is still out:
//       return;                      // its answer will show
//   const int ticket = requests.begin(key);
//   ... blocking fetch; cache what came ...
//   if (!alive || !requests.finish(ticket) || selected() != key)
//       return;                      // late: not shown
//   ... show it ...

#include <QString>

class LatestRequest
{
public:
    // Whether the latest request is out for `subject`: asking for it again
    // would send it twice, and its answer will be shown anyway.
    bool isAsking(const QString& subject) const;
    // A request for `subject` starts: every ticket given before is late.
    int begin(const QString& subject);
    // The request of `ticket` is back: true while it is the latest one (its
    // answer may be shown), false for a late one.
    bool finish(int ticket);
    // The page moved on (its list was replaced): every answer still out is late.
    void forget();

private:
    int latest = 0;
    bool out = false;   // the latest request is out
    QString asking;     // its subject
};
