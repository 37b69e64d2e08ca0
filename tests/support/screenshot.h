#pragma once

// Pictures of what the tests put on screen, for a person to look at. Every
// test that takes one saves it here: as <name>.png into the folder named by
// $VOREL_SCREENSHOT_DIR (best given as an absolute path: many tests change
// their working folder), and nowhere while that variable is unset.

#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>

// False only when a picture was wanted and could not be saved.
inline bool saveScreenshot(const QImage& image, const QString& name)
{
    const QString folder = qEnvironmentVariable("VOREL_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return true;
    QDir().mkpath(folder);
    return image.save(QDir(folder).filePath(name + ".png"));
}

// `widget` as it stands; grabbed only when a picture is wanted.
inline bool saveScreenshot(QWidget* widget, const QString& name)
{
    if (qEnvironmentVariableIsEmpty("VOREL_SCREENSHOT_DIR"))
        return true;
    return saveScreenshot(widget->grab().toImage(), name);
}
