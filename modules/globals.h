#pragma once
// Names shared by the modules, the module manager and the pages, defined once for the program.
#include <QString>

#include <string>

// The port name that means "no port chosen"; the pages offer it first in every port list.
extern const std::string NoPortName;

// Prefixes of the setting names that pages use to address a module's settings.
extern const QString EthernetPrefix;
extern const QString LocalPrefix;
extern const QString MotherboardPrefix;
extern const QString RemotePrefix;
extern const QString SerialPrefix;
