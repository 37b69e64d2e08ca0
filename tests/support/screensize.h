#pragma once

// Gives the primary screen another size for the widgets of a test. Qt 5.15's
// offscreen platform has one screen of a fixed 800 x 600 and reads no
// configuration (its JSON screen description came with Qt 6), and QScreen has
// no setter. What works is what a platform plug-in does when a monitor
// changes: it tells QtGui's window-system interface (Qt's platform API, from
// qtbase5-private-dev). The change is delivered at once, so widgets made
// afterwards see the new size.

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <qpa/qwindowsysteminterface.h>

class ScreenSizeOverride
{
public:
    // A screen of `geometry` whose panels leave `available` to the windows.
    ScreenSizeOverride(const QRect& geometry, const QRect& available)
        : screen(QGuiApplication::primaryScreen())
        , geometry(screen->geometry())
        , available(screen->availableGeometry())
    {
        change(geometry, available);
    }
    ~ScreenSizeOverride() { change(geometry, available); }

private:
    void change(const QRect& newGeometry, const QRect& newAvailable)
    {
        QWindowSystemInterface::handleScreenGeometryChange(screen, newGeometry, newAvailable);
        QWindowSystemInterface::flushWindowSystemEvents();
    }

    QScreen* screen;
    QRect geometry;
    QRect available;
};
