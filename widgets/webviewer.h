#pragma once

// The program's modal HTML window: a company's profile page or its top
// shareholders, filled into the template "assets/template". The page runs no
// script and may load nothing but files of the template's own folder, so a
// downloaded text can neither act nor reach the network or other files.

#include "datasource/htmltext.h"

#include <QDialog>

class QWebView;

class WebViewer : public QDialog
{
    Q_OBJECT
public:
    explicit WebViewer(const QString& title, QWidget* parent = nullptr);

    // With `useTemplate`, `html` replaces "#CONTENT" of "assets/template";
    // otherwise it is shown as it is. Style sheets and images resolve
    // next to the template.
    void setContent(const QString& html, bool useTemplate);

    QWebView* view = nullptr;
};
