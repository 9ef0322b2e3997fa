#pragma once
// The thread whose event loop runs the client bridge: requests from the GUI reach the console
// here, so a slow port open never blocks the GUI.
//
// Thread: created on the GUI thread, runs its own loop. Owner: the entry function.
#include <QThread>

namespace gui {

class ConsoleThread : public QThread
{
    Q_OBJECT
public:
    using QThread::QThread;

protected:
    void run() override;
};

} // namespace gui
