#include "widgets/latestrequest.h"

bool LatestRequest::isAsking(const QString& subject) const
{
    return out && asking == subject;
}

int LatestRequest::begin(const QString& subject)
{
    asking = subject;
    out = true;
    return ++latest;
}

bool LatestRequest::finish(int ticket)
{
    // A request started during another one's wait runs inside it and is back
    // first: a late ticket never finds a later request still out.
    if (ticket != latest)
        return false;
    out = false;
    return true;
}

void LatestRequest::forget()
{
    ++latest;
    out = false;
}
