#pragma once
// One kind of module the user can add: its model name (which also heads every reply text), its
// picture for the add-module dialog, its first page and the device type that selects the module
// class and the console device (3 K68-TLC, 4 K57-QMR).
//
// The picture is kept as a resolved file or resource path: the module layer is Qt Core only, and
// the add-module dialog, which has the GUI libraries, loads the image from it.
//
// Thread: the GUI thread (read-only once built). Owner: shared by the module manager and its
// modules.
#include <QString>

#include <vector>

struct ModuleDescriptor
{
    // Read from the descriptor file and kept; nothing uses it yet.
    struct Shortcut
    {
        QString name;
        QString url;
        QString image;
    };

    static constexpr int K68TLCType = 3;
    static constexpr int K57QMRType = 4;

    QString name;
    QString image;
    QString homepage;
    int deviceType = 0;
    std::vector<Shortcut> shortcuts;
};
