#pragma once

// Where the program puts the windows it places: whole on the available area
// of a screen (the screen less its panels). The rectangles are frame
// rectangles, window decoration included.

#include <QRect>
#include <QSize>

class QWidget;

// `frame` moved, and cut to the area's size where it is larger, so that it
// lies whole inside `area`.
QRect keptInside(const QRect& frame, const QRect& area);

// A frame of `size` beside `anchor`, `gap` pixels away: right of it where the
// area has room, else left of it, else below, else above; where no side has
// room, on the right side pushed into the area, over the anchor. Beside the
// anchor it keeps the anchor's top (or, below and above, its left edge) as
// far as the area allows.
QRect besideRect(const QRect& anchor, const QSize& size, const QRect& area, int gap);

// The available area of the screen that shows `window`, else of the screen
// under its centre, else of the primary screen.
QRect availableArea(const QWidget* window);

// Moves `window`, and makes it smaller where it is larger than the area (as
// far as its contents let it), so that it lies whole on its screen's
// available area.
void keepWindowOnScreen(QWidget* window);

// Places `window` beside `anchor`, as besideRect does, on the anchor's screen.
void placeWindowBeside(QWidget* window, const QWidget* anchor, int gap);
