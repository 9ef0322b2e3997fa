#pragma once
// Runs a widget test without a display: the offscreen platform, a private set of XDG folders
// when the test is started by hand (ctest gives each test its own), and the application names
// that locate the settings store.
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

template <typename Test> int runOffscreen(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir sandbox;
    for (const char* name : { "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR" }) {
        if (qEnvironmentVariableIsEmpty(name))
            qputenv(name, QFile::encodeName(sandbox.filePath(QLatin1String(name))));
    }
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Rusk"));
    QCoreApplication::setApplicationName(QStringLiteral("Varen Diagnostics"));
    Test test;
    return QTest::qExec(&test, argc, argv);
}
