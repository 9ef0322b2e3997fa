#pragma once
// Debug output of the modules subsystem ("varen.modules").
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcModules)
