#include "console/consolethread.h"

#include "console/logging.h"

namespace gui {

void ConsoleThread::run()
{
    qCDebug(lcConsole, "Console thread running");
    const int code = exec();
    qCDebug(lcConsole, "Console thread finished: %d", code);
}

} // namespace gui
