#pragma once

// SIGTERM and SIGINT end the program in order: the event loop returns, the
// windows and the application object are destroyed and the settings written,
// as a desktop session's logout expects.

class QCoreApplication;

void quitInOrderOnTermination(QCoreApplication* app);

// True once a termination signal arrived; a signal that comes before the event
// loop runs (during a start-up message box) must still end the program.
bool terminationRequested();
