#pragma once

// SIGTERM and SIGINT end the program in order: the event loop returns, the
// windows and the application object are destroyed and the settings written,
// as a desktop session's logout expects.

class QCoreApplication;

void quitInOrderOnTermination(QCoreApplication* app);
