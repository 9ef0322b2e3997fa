#pragma once
// Debug output of the projects subsystem ("varen.projects").
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcProjects)
