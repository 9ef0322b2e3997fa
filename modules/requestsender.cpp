#include "modules/requestsender.h"

#include <QCoreApplication>
#include <QMetaObject>

RequestSender::RequestSender(ClientDevice& device)
    : device(device)
{
}

void RequestSender::setConsoleContext(QObject* context)
{
    consoleContext = context;
    if (consoleContext && !unreleased.empty())
        handOver(std::move(unreleased));
    unreleased.clear();
}

void RequestSender::release(std::shared_ptr<void> record)
{
    if (consoleContext)
        handOver({ std::move(record) });
    else
        unreleased.push_back(std::move(record));
}

void RequestSender::handOver(std::vector<std::shared_ptr<void>> records)
{
    // The functor only holds the records: destroying it after it ran on the console thread, or
    // with the bridge if that thread never runs it, is what frees them.
    QMetaObject::invokeMethod(
        consoleContext.data(), [held = std::move(records)] { (void)held; }, Qt::QueuedConnection);
}

void RequestSender::returnWhenFilled(std::function<void()> deliver)
{
    if (!consoleContext)
        return;
    // The device is only looked at on its own thread; the pointer merely travels.
    QPointer<QObject> receiver(&device);
    QMetaObject::invokeMethod(
        consoleContext.data(),
        [receiver, deliver = std::move(deliver)] {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [receiver, deliver] {
                    if (receiver)
                        deliver();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}
