#pragma once
// Collects the debug lines of the "varen.modules" category while it exists, so a test can check
// the texts the modules write. Other output passes on to the handler that was installed before.
//
// Thread: the test's main thread (lines logged on other threads are collected too). Owner: the
// test case, on its stack; one at a time.
#include <QStringList>
#include <QtGlobal>

class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QStringList& lines() const { return captured; }
    int count(const QString& text) const { return captured.count(text); }
    bool anyContains(const QString& part) const;
    void clear() { captured.clear(); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text);

    QStringList captured;
    QtMessageHandler previous;
};
