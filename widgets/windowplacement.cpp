#include "widgets/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// The size a decoration adds to a window. A window not yet shown has no frame
// yet; it will get one like `like`'s.
QSize decoration(const QWidget* window, const QWidget* like)
{
    const QSize own = window->frameGeometry().size() - window->geometry().size();
    if (own != QSize(0, 0) || !like)
        return own;
    return like->frameGeometry().size() - like->geometry().size();
}

QRect frameOf(const QWidget* window, const QSize& decorationSize)
{
    return QRect(window->frameGeometry().topLeft(), window->size() + decorationSize);
}

// Gives `window` the frame rectangle `frame`, whose size is never larger than
// the window's frame is now. A window of fixed size stays fixed, at the size
// the screen allows; any other keeps the minimum its contents need.
void applyFrame(QWidget* window, const QRect& frame, const QSize& decorationSize)
{
    const QSize inner = (frame.size() - decorationSize).boundedTo(window->size());
    if (inner != window->size()) {
        if (window->minimumSize() == window->maximumSize())
            window->setFixedSize(inner);
        else
            window->resize(inner);
    }
    window->move(frame.topLeft());
}

} // namespace

QRect keptInside(const QRect& frame, const QRect& area)
{
    const QSize size = frame.size().boundedTo(area.size());
    const int left = qBound(area.left(), frame.left(), area.right() + 1 - size.width());
    const int top = qBound(area.top(), frame.top(), area.bottom() + 1 - size.height());
    return QRect(QPoint(left, top), size);
}

QRect besideRect(const QRect& anchor, const QSize& size, const QRect& area, int gap)
{
    const QSize fitting = size.boundedTo(area.size());
    // Beside the anchor the window keeps its top, above and below its left
    // edge, as far as the area lets it.
    const int top = qBound(area.top(), anchor.top(), area.bottom() + 1 - fitting.height());
    const int left = qBound(area.left(), anchor.left(), area.right() + 1 - fitting.width());
    const QRect right(QPoint(anchor.right() + 1 + gap, top), fitting);
    const QRect leftOf(QPoint(anchor.left() - gap - fitting.width(), top), fitting);
    const QRect below(QPoint(left, anchor.bottom() + 1 + gap), fitting);
    const QRect above(QPoint(left, anchor.top() - gap - fitting.height()), fitting);
    for (const QRect& candidate : {right, leftOf, below, above}) {
        if (area.contains(candidate))
            return candidate;
    }
    return keptInside(right, area);
}

QRect availableArea(const QWidget* window)
{
    QScreen* screen = nullptr;
    if (window)
        screen = window->isVisible() ? window->screen() : QGuiApplication::screenAt(window->frameGeometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void keepWindowOnScreen(QWidget* window)
{
    const QRect area = availableArea(window);
    if (!window || area.isEmpty())
        return;
    const QSize decorationSize = decoration(window, nullptr);
    const QRect frame = frameOf(window, decorationSize);
    const QRect kept = keptInside(frame, area);
    if (kept != frame)
        applyFrame(window, kept, decorationSize);
}

void placeWindowBeside(QWidget* window, const QWidget* anchor, int gap)
{
    const QRect area = availableArea(anchor);
    if (!window || !anchor || area.isEmpty())
        return;
    const QSize decorationSize = decoration(window, anchor);
    const QRect placed = besideRect(anchor->frameGeometry(), window->size() + decorationSize, area, gap);
    if (placed != frameOf(window, decorationSize))
        applyFrame(window, placed, decorationSize);
}
