#pragma once
// Debug output of the console subsystem ("varen.console").
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcConsole)
