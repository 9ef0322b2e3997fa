// The project settings' element in a project file: what is written, which texts are read, and
// that a missing or unreadable value keeps the setting in force.
#include "projects/projectfile.h"
#include "projects/projectsettings.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QtTest>

#include <boost/property_tree/ptree.hpp>

namespace pt = boost::property_tree;

class ProjectSettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void write_data();
    void write();
    void read_data();
    void read();
    void changesAreSignalled();
};

void ProjectSettingsTest::write_data()
{
    QTest::addColumn<bool>("switchOff");
    QTest::addColumn<QString>("sound");
    QTest::newRow("as constructed") << false << "true";
    QTest::newRow("sound off") << true << "false";
}

void ProjectSettingsTest::write()
{
    QFETCH(bool, switchOff);
    QFETCH(QString, sound);

    ProjectSettings settings;
    if (switchOff)
        settings.setSoundEnabled(false);
    pt::ptree project;
    project.add_child("modules", pt::ptree());
    QVERIFY(settings.write(project));

    QCOMPARE(project.size(), std::size_t(2));
    QCOMPARE(project.back().first, std::string("project_settings"));
    const pt::ptree& written = project.back().second;
    QCOMPARE(written.data(), std::string());
    QCOMPARE(written.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(written.get<std::string>("sound")), sound);
}

void ProjectSettingsTest::read_data()
{
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("after");

    const auto withSound = [](const char* text) {
        return QByteArray("<project><project_settings><sound>") + text
            + "</sound></project_settings></project>";
    };
    QTest::newRow("true") << withSound("true") << false << true;
    QTest::newRow("false") << withSound("false") << true << false;
    QTest::newRow("1") << withSound("1") << false << true;
    QTest::newRow("0") << withSound("0") << true << false;
    QTest::newRow("surrounding white space") << withSound("\n  false  \n") << true << false;
    QTest::newRow("yes keeps on") << withSound("yes") << true << true;
    QTest::newRow("yes keeps off") << withSound("yes") << false << false;
    QTest::newRow("capitalised") << withSound("False") << true << true;
    QTest::newRow("2") << withSound("2") << false << false;
    QTest::newRow("empty") << withSound("") << false << false;
    QTest::newRow("no sound element")
        << QByteArray("<project><project_settings/></project>") << false << false;
    QTest::newRow("no project_settings")
        << QByteArray("<project><modules/></project>") << false << false;
}

void ProjectSettingsTest::read()
{
    QFETCH(QByteArray, project);
    QFETCH(bool, before);
    QFETCH(bool, after);

    pt::ptree tree;
    QVERIFY(ProjectFile::parse(project.toStdString(), tree));
    ProjectSettings settings;
    settings.setSoundEnabled(before);
    QVERIFY(settings.read(tree.get_child("project")));
    QCOMPARE(settings.isSoundEnabled(), after);
}

void ProjectSettingsTest::changesAreSignalled()
{
    ProjectSettings settings;
    QSignalSpy updates(&settings, &ProjectSettings::soundEnabledUpdate);
    settings.setSoundEnabled(true);
    QCOMPARE(updates.count(), 0);
    settings.setSoundEnabled(false);
    settings.reset();
    QCOMPARE(updates.count(), 2);
    QCOMPARE(updates.at(0).at(0).toBool(), false);
    QCOMPARE(updates.at(1).at(0).toBool(), true);
    QVERIFY(settings.isSoundEnabled());
}

QTEST_GUILESS_MAIN(ProjectSettingsTest)

#include "tst_projectsettings.moc"
