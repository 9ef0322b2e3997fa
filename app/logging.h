#pragma once
// Debug output of the application shell ("varen.app").
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)
