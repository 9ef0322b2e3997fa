// The project file as bytes on disk: its exact layout, UTF-8 text, a target folder that does
// not exist yet, and a loaded project written back byte for byte.
#include "projects/projectfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <boost/property_tree/ptree.hpp>

namespace pt = boost::property_tree;

namespace {

pt::ptree sampleProject(const std::string& port)
{
    pt::ptree tree;
    pt::ptree& project = tree.add_child("project", pt::ptree());
    pt::ptree& module = project.add_child("modules", pt::ptree()).add_child("module", pt::ptree());
    module.put("type", 4);
    module.put("id", 0);
    module.put("settings.serial_port", port);
    project.add_child("project_settings", pt::ptree()).put("sound", "false");
    return tree;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ProjectFileTest : public QObject
{
    Q_OBJECT
private slots:
    void writesTheProjectLayout();
    void keepsTextAsUtf8();
    void createsTheTargetFolder();
    void loadedProjectSavesUnchanged();
};

void ProjectFileTest::writesTheProjectLayout()
{
    QTemporaryDir work;
    const QString file = work.filePath("layout.vdp");
    QVERIFY(ProjectFile::write(file, sampleProject("COM3")));
    QCOMPARE(readFile(file),
        QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                   "<project>\n"
                   "    <modules>\n"
                   "        <module>\n"
                   "            <type>4</type>\n"
                   "            <id>0</id>\n"
                   "            <settings>\n"
                   "                <serial_port>COM3</serial_port>\n"
                   "            </settings>\n"
                   "        </module>\n"
                   "    </modules>\n"
                   "    <project_settings>\n"
                   "        <sound>false</sound>\n"
                   "    </project_settings>\n"
                   "</project>\n"));
}

void ProjectFileTest::keepsTextAsUtf8()
{
    QTemporaryDir work;
    const QString file = work.filePath("Zürich Süd.vdp");
    const std::string port = QString("Schaltschrank Zürich – Süd").toStdString();
    QVERIFY(ProjectFile::write(file, sampleProject(port)));
    QVERIFY(readFile(file).contains(QByteArray::fromStdString(port)));
    pt::ptree read;
    QVERIFY(ProjectFile::read(file, read));
    QCOMPARE(read.get<std::string>("project.modules.module.settings.serial_port"), port);
}

void ProjectFileTest::createsTheTargetFolder()
{
    QTemporaryDir work;
    const QString file = work.filePath("site/north/rack.vdp");
    QVERIFY(ProjectFile::write(file, sampleProject("COM3")));
    pt::ptree read;
    QVERIFY(ProjectFile::read(file, read));
    QVERIFY(read == sampleProject("COM3"));
}

void ProjectFileTest::loadedProjectSavesUnchanged()
{
    QTemporaryDir work;
    const QString first = work.filePath("first.vdp");
    const QString second = work.filePath("second.vdp");
    QVERIFY(ProjectFile::write(first, sampleProject("COM3")));
    pt::ptree loaded;
    QVERIFY(ProjectFile::read(first, loaded));
    QVERIFY(ProjectFile::write(second, loaded));
    QCOMPARE(readFile(second), readFile(first));
}

QTEST_GUILESS_MAIN(ProjectFileTest)

#include "tst_projectfile.moc"
