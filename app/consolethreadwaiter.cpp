#include "app/consolethreadwaiter.h"

#include "app/logging.h"

#include <QThread>

bool ConsoleThreadWaiter::wait(QThread& thread, int seconds, unsigned long waitMs)
{
    for (int counter = seconds; counter > 0 && !thread.isFinished(); --counter) {
        qCDebug(lcApp).noquote() << QStringLiteral("Waiting for console thread: %1s").arg(counter);
        thread.wait(waitMs);
    }
    return thread.isFinished();
}
