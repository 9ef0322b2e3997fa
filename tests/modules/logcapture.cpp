#include "logcapture.h"

#include <algorithm>
#include <cstring>

namespace {
LogCapture* active = nullptr;
QtMessageHandler passOn = nullptr;
} // namespace

LogCapture::LogCapture()
    : previous(qInstallMessageHandler(&LogCapture::handle))
{
    passOn = previous;
    active = this;
}

LogCapture::~LogCapture()
{
    active = nullptr;
    qInstallMessageHandler(previous);
}

bool LogCapture::anyContains(const QString& part) const
{
    return std::any_of(captured.begin(), captured.end(),
        [&part](const QString& line) { return line.contains(part); });
}

void LogCapture::handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (active && context.category && std::strcmp(context.category, "varen.modules") == 0)
        active->captured << text;
    if (passOn)
        passOn(type, context, text);
}
