// The module manager on its own, fed the console's messages as the client bridge delivers them:
// module descriptors, module kinds, creation, selection and removal, the port list and the
// project's module entries. The road through the real console is tst_modules_integration.
#include "logcapture.h"
#include "modules/modulek57qmr.h"
#include "modules/modulek68tlc.h"
#include "modules/modulemanager.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <sstream>

using namespace console;
using boost::property_tree::ptree;

namespace {

// The creation requests a manager sends while the log exists, read while they are signalled.
class RequestLog
{
public:
    explicit RequestLog(ModuleManager& manager)
    {
        QObject::connect(&manager, &ClientDevice::setProperty, &context,
            [this](tdi::UInt16 device, tdi::UInt32 id, tdi::UInt32 size, void* value) {
                QCOMPARE(device, StateDeviceId);
                QCOMPARE(id, tdi::UInt32(ReqCreateDevice));
                QCOMPARE(size, tdi::UInt32(sizeof(CreateDeviceRequest)));
                requests.push_back(*static_cast<CreateDeviceRequest*>(value));
            });
    }
    std::vector<CreateDeviceRequest> requests;

private:
    QObject context; // ends the connection with the log
};

// The console's answer to a creation request.
void answer(ModuleManager& manager, const CreateDeviceRequest& request, UInt32 deviceId)
{
    DeviceCreatedMessage created;
    created.deviceId = deviceId;
    created.deviceType = request.deviceType;
    created.param = request.param;
    manager.onMessage(MsgDeviceCreated, sizeof created, &created);
}

void deliverPorts(ModuleManager& manager, const std::vector<std::string>& names)
{
    PortListMessage list;
    int number = 1;
    for (const auto& name : names)
        list.ports.push_back({ name, number++ });
    manager.onMessage(MsgPortList, sizeof list, &list);
}

ModuleBasePtr moduleFrom(const QSignalSpy& spy, int index)
{
    return qvariant_cast<ModuleBasePtr>(spy.at(index).at(0));
}

QString stackView()
{
    return QStringLiteral("qrc:/html/K57-QMR/stack-view.html");
}

// What a creation answer hands back: nothing, the manager's own request, or someone else's.
enum class Param { None, OwnRequest, Foreign };

} // namespace

Q_DECLARE_METATYPE(Param)

class ModuleManagerTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(appDir.isValid());
        QFile::remove(appDir.filePath("moduledescriptors.xml"));
    }

    void cleanup()
    {
        // Modules are deleted later, on their own thread; let that happen between cases.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void descriptorFile_data()
    {
        QTest::addColumn<QString>("xml"); // empty: no file at all
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<QStringList>("homepages");
        QTest::addColumn<QStringList>("images");

        const QString dir = appDir.path();
        const QStringList builtInNames { "K68-TLC", "K57-QMR" };
        const QList<int> builtInTypes { 3, 4 };
        const QStringList builtInPages { stackView(), stackView() };
        const QStringList builtInImages { ":/icons/K68-TLC.png", ":/icons/K57-QMR.png" };

        QTest::newRow("missing file")
            << QString() << builtInNames << builtInTypes << builtInPages << builtInImages;
        QTest::newRow("not XML") << "<modules><module>" << builtInNames << builtInTypes
                                 << builtInPages << builtInImages;
        QTest::newRow("another root")
            << "<descriptors><module><name>X</name><type>4</type></module></descriptors>"
            << builtInNames << builtInTypes << builtInPages << builtInImages;
        QTest::newRow("empty modules")
            << "<modules/>" << QStringList() << QList<int>() << QStringList() << QStringList();
        QTest::newRow("only other elements")
            << "<modules><unit><name>X</name></unit></modules>" << QStringList() << QList<int>()
            << QStringList() << QStringList();
        QTest::newRow("file order and types")
            << "<modules><module><name>B</name><type>4</type></module>"
               "<module><name>A</name><type>3</type></module></modules>"
            << QStringList { "B", "A" } << QList<int> { 4, 3 } << QStringList { "", "" }
            << QStringList { "", "" };
        QTest::newRow("type absent")
            << "<modules><module><name>N</name></module></modules>" << QStringList { "N" }
            << QList<int> { 3 } << QStringList { "" } << QStringList { "" };
        QTest::newRow("type not an integer")
            << "<modules><module><name>N</name><type>four</type></module></modules>"
            << QStringList { "N" } << QList<int> { 3 } << QStringList { "" } << QStringList { "" };
        QTest::newRow("type in hexadecimal")
            << "<modules><module><type>0x4</type></module></modules>" << QStringList { "" }
            << QList<int> { 3 } << QStringList { "" } << QStringList { "" };
        QTest::newRow("relative paths")
            << "<modules><module><homepage>pages/start.html</homepage>"
               "<image>icons/unit.png</image><type>4</type></module></modules>"
            << QStringList { "" } << QList<int> { 4 } << QStringList { dir + "/pages/start.html" }
            << QStringList { dir + "/icons/unit.png" };
        QTest::newRow("qrc, resource and absolute paths")
            << "<modules><module><homepage>qrc:/html/x.html</homepage>"
               "<image>:/icons/x.png</image></module>"
               "<module><homepage>/opt/varen/start.html</homepage>"
               "<image>/opt/varen/x.png</image></module></modules>"
            << QStringList { "", "" } << QList<int> { 3, 3 }
            << QStringList { "qrc:/html/x.html", "/opt/varen/start.html" }
            << QStringList { ":/icons/x.png", "/opt/varen/x.png" };
    }

    void descriptorFile()
    {
        QFETCH(QString, xml);
        if (!xml.isEmpty())
            writeDescriptorFile(xml);
        const ModuleManager manager(appDir.path());
        QStringList names, homepages, images;
        QList<int> types;
        for (const auto& descriptor : manager.descriptors()) {
            names << descriptor->name;
            types << descriptor->deviceType;
            homepages << descriptor->homepage;
            images << descriptor->image;
        }
        QTEST(names, "names");
        QTEST(types, "types");
        QTEST(homepages, "homepages");
        QTEST(images, "images");
    }

    void descriptorShortcutsAreReadAndResolved()
    {
        writeDescriptorFile("<modules><module><name>K57-QMR</name><type>4</type><shortcuts>"
                            "<shortcut><name>Help</name><url>help/index.html</url>"
                            "<image>qrc:/icons/help.png</image></shortcut>"
                            "<other/><shortcut><name>Bare</name></shortcut>"
                            "</shortcuts></module></modules>");
        const ModuleManager manager(appDir.path());
        QCOMPARE(manager.descriptors().size(), std::size_t(1));
        const auto& shortcuts = manager.descriptors().front()->shortcuts;
        QCOMPARE(shortcuts.size(), std::size_t(2));
        QCOMPARE(shortcuts[0].name, QString("Help"));
        QCOMPARE(shortcuts[0].url, appDir.path() + "/help/index.html");
        QCOMPARE(shortcuts[0].image, QString("qrc:/icons/help.png"));
        QCOMPARE(shortcuts[1].name, QString("Bare"));
        QVERIFY(shortcuts[1].url.isEmpty());
        QVERIFY(shortcuts[1].image.isEmpty());
    }

    void moduleKinds_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("startCommand");
        QTest::addColumn<int>("decoderKind");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("pattern"); // every entry matches it

        QTest::newRow("K57-QMR") << 4 << "VAREN_DIAGNOSTICS_START\r\n"
                                 << 0 << 40 << "v 38 00 0100\r\n"
                                 << "v 77 00 0100\r\n"
                                 << "^v [0-9]{2} 00 0100\r\n$";
        QTest::newRow("K68-TLC") << 3 << "v 42 14 0001\r\n"
                                 << 1 << 112 << "mf00r 00 00 08 00 100\r\n"
                                 << "mf00r 00 00 77 00 100\r\n"
                                 << "^mf00r 00 00 [0-9A-F]{2} 00 100\r\n$";
    }

    // The pages rely on these exact texts: each entry reads one whole register page.
    void moduleKinds()
    {
        QFETCH(int, type);
        ModuleManager manager(appDir.path());
        RequestLog log(manager);
        QSignalSpy added(&manager, &ModuleManager::moduleAdded);
        manager.AddModule(descriptorOf(manager, type));
        QCOMPARE(log.requests.size(), std::size_t(1));
        answer(manager, log.requests.front(), 0);
        QCOMPARE(added.count(), 1);
        const ModuleBasePtr module = moduleFrom(added, 0);

        QTEST(QString::fromStdString(module->startCommand()), "startCommand");
        QTEST(module->decoderKind(), "decoderKind");
        std::vector<std::string> list { "left over" };
        module->defaultRefreshCommands(list);
        QTEST(int(list.size()), "count");
        QTEST(QString::fromStdString(list.front()), "first");
        QTEST(QString::fromStdString(list.back()), "last");
        QFETCH(QString, pattern);
        const QRegularExpression form(pattern);
        QSet<QString> distinct;
        for (const auto& entry : list) {
            const QString text = QString::fromStdString(entry);
            QVERIFY2(form.match(text).hasMatch(), qPrintable(text));
            distinct << text;
        }
        QCOMPARE(distinct.size(), int(list.size()));
    }

    void addModuleCreatesTheModuleWhenTheConsoleAnswers_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("className");
        QTest::newRow("K68-TLC") << 3 << "ModuleK68TLC";
        QTest::newRow("K57-QMR") << 4 << "ModuleK57QMR";
    }

    void addModuleCreatesTheModuleWhenTheConsoleAnswers()
    {
        QFETCH(int, type);
        ModuleManager manager(appDir.path());
        RequestLog log(manager);
        QSignalSpy added(&manager, &ModuleManager::moduleAdded);
        QSignalSpy selected(&manager, &ModuleManager::moduleSelected);

        manager.AddModule(descriptorOf(manager, type));
        QCOMPARE(log.requests.size(), std::size_t(1));
        QCOMPARE(log.requests[0].requestedId, -1);
        QCOMPARE(log.requests[0].deviceType, UInt32(type));
        QCOMPARE(added.count(), 0);

        answer(manager, log.requests[0], 6);
        QCOMPARE(added.count(), 1);
        const ModuleBasePtr module = moduleFrom(added, 0);
        QTEST(QString(module->metaObject()->className()), "className");
        QCOMPARE(module->deviceID(), tdi::UInt16(6));
        QCOMPARE(module->descriptor(), descriptorOf(manager, type));
        QCOMPARE(manager.modules(), std::vector<ModuleBasePtr> { module });
        QCOMPARE(selected.count(), 1);
        QCOMPARE(manager.selectedModule(), module);

        // A second module joins the list but leaves the selection alone.
        manager.AddModule(descriptorOf(manager, type));
        answer(manager, log.requests[1], 7);
        QCOMPARE(manager.modules().size(), std::size_t(2));
        QCOMPARE(selected.count(), 1);
    }

    void creationAnswersThatMakeNoModule_data()
    {
        QTest::addColumn<UInt32>("deviceType");
        QTest::addColumn<UInt32>("deviceId");
        QTest::addColumn<Param>("param");
        QTest::addColumn<QString>("logged");

        QTest::newRow("unrecognised type")
            << UInt32(9) << UInt32(2) << Param::None
            << "ModuleManager::onMessage() - unrecognised device type 9";
        QTest::newRow("no descriptor of the type") << UInt32(3) << UInt32(2) << Param::None << "";
        QTest::newRow("the manager's own id") << UInt32(4) << UInt32(0xFFFF) << Param::OwnRequest
                                              << "ModuleManager::onMessage() - unusable device id";
        QTest::newRow("a request the manager never made")
            << UInt32(4) << UInt32(2) << Param::Foreign
            << "ModuleManager::onMessage() - answer to an unknown request";
    }

    void creationAnswersThatMakeNoModule()
    {
        QFETCH(UInt32, deviceType);
        QFETCH(UInt32, deviceId);
        QFETCH(Param, param);
        QFETCH(QString, logged);
        writeDescriptorFile("<modules><module><name>K57-QMR</name><type>4</type></module>"
                            "</modules>");
        ModuleManager manager(appDir.path());
        RequestLog log(manager);
        manager.AddModule(manager.descriptors().front());
        QSignalSpy added(&manager, &ModuleManager::moduleAdded);
        LogCapture logs;

        ptree foreign;
        DeviceCreatedMessage created;
        created.deviceId = deviceId;
        created.deviceType = deviceType;
        if (param == Param::OwnRequest)
            created.param = log.requests.front().param;
        else if (param == Param::Foreign)
            created.param = &foreign;
        manager.onMessage(MsgDeviceCreated, sizeof created, &created);

        QCOMPARE(added.count(), 0);
        QVERIFY(manager.modules().empty());
        if (logged.isEmpty())
            QVERIFY2(logs.lines().isEmpty(), qPrintable(logs.lines().join('\n')));
        else
            QVERIFY2(logs.anyContains(logged), qPrintable(logs.lines().join('\n')));
    }

    void messagesOfTheWrongSizeAreIgnored()
    {
        ModuleManager manager(appDir.path());
        QSignalSpy ready(&manager, &ModuleManager::consoleReady);
        QSignalSpy added(&manager, &ModuleManager::moduleAdded);
        StateMessage state;
        state.state = Running;
        manager.onMessage(MsgState, sizeof state - 1, &state);
        DeviceCreatedMessage created;
        created.deviceType = 4;
        manager.onMessage(MsgDeviceCreated, sizeof created + 4, &created);
        manager.onMessage(MsgState, sizeof state, nullptr);
        QCOMPARE(ready.count(), 0);
        QCOMPARE(added.count(), 0);
        manager.onMessage(MsgState, sizeof state, &state);
        QCOMPARE(ready.count(), 1);
    }

    void consoleReadyFollowsReadyAndRunningOnly_data()
    {
        QTest::addColumn<UInt32>("state");
        QTest::addColumn<int>("announcements");
        QTest::newRow("Ready") << UInt32(Ready) << 1;
        QTest::newRow("Running") << UInt32(Running) << 1;
        QTest::newRow("Paused") << UInt32(Paused) << 0;
        QTest::newRow("Resumed") << UInt32(Resumed) << 0;
    }

    void consoleReadyFollowsReadyAndRunningOnly()
    {
        QFETCH(UInt32, state);
        ModuleManager manager(appDir.path());
        QSignalSpy ready(&manager, &ModuleManager::consoleReady);
        StateMessage message;
        message.state = state;
        manager.onMessage(MsgState, sizeof message, &message);
        QTEST(ready.count(), "announcements");
    }

    void portListStartsWithNoneAndIsSortedWithoutCase()
    {
        ModuleManager manager(appDir.path());
        const ModuleBasePtr module = addModule(manager, 4, 1);
        announceRegistration(manager, 1);
        QSignalSpy updated(module.get(), &ModuleBase::portsUpdated);

        deliverPorts(manager, { "COM3", "com2", "COM10" });

        const QStringList expected { "<None>", "COM10", "com2", "COM3" };
        QCOMPARE(manager.ports(), expected);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(updated.at(0).at(0).toStringList(), expected);
        QCOMPARE(module->ports(), expected);
    }

    // Until the bridge has registered a module it does not carry the module's requests: a port
    // list then would make the module open its stored port into the void.
    void onlyRegisteredModulesGetPortLists()
    {
        ModuleManager manager(appDir.path());
        const ModuleBasePtr module = addModule(manager, 4, 1);
        boost::property_tree::ptree entry;
        entry.put("settings.port", "COM4");
        module->loadSettings(entry);
        QSignalSpy updated(module.get(), &ModuleBase::portsUpdated);

        deliverPorts(manager, { "COM4" });
        QCOMPARE(updated.count(), 0);
        QVERIFY(module->selectedPort().empty());

        announceRegistration(manager, 1);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(module->selectedPort(), std::string("COM4"));
        deliverPorts(manager, { "COM4", "COM5" });
        QCOMPARE(updated.count(), 2);
    }

    void registeredModuleGetsThePortList()
    {
        ModuleManager manager(appDir.path());
        deliverPorts(manager, { "COM4" });
        const ModuleBasePtr first = addModule(manager, 4, 1);
        const ModuleBasePtr second = addModule(manager, 3, 2);
        QSignalSpy firstUpdated(first.get(), &ModuleBase::portsUpdated);
        QSignalSpy secondUpdated(second.get(), &ModuleBase::portsUpdated);

        announceRegistration(manager, 2);

        QCOMPARE(firstUpdated.count(), 0);
        QCOMPARE(secondUpdated.count(), 1);
        QCOMPARE(second->ports(), (QStringList { "<None>", "COM4" }));
    }

    void removingTheSelectedModuleClearsTheSelectionFirst()
    {
        ModuleManager manager(appDir.path());
        const ModuleBasePtr first = addModule(manager, 4, 1);
        const ModuleBasePtr second = addModule(manager, 4, 2);
        QStringList events;
        connect(&manager, &ModuleManager::moduleSelected, this, [&](const ModuleBasePtr& m) {
            events << (m ? QString("selected %1").arg(m->deviceID()) : QString("selected none"));
        });
        connect(&manager, &ModuleManager::moduleRemoved, this,
            [&](const ModuleBasePtr& m) { events << QString("removed %1").arg(m->deviceID()); });

        manager.RemoveModule(second);
        manager.RemoveModule(first);
        manager.RemoveModule(first);

        QCOMPARE(events, (QStringList { "removed 2", "selected none", "removed 1" }));
        QVERIFY(manager.modules().empty());
        QVERIFY(!manager.selectedModule());
    }

    void onlyAModuleOfTheProjectCanBeSelected()
    {
        ModuleManager manager(appDir.path());
        const ModuleBasePtr first = addModule(manager, 4, 1);
        const ModuleBasePtr second = addModule(manager, 4, 2);
        QSignalSpy selected(&manager, &ModuleManager::moduleSelected);
        manager.SelectModule(second);
        manager.SelectModule(second);
        manager.RemoveModule(first);
        manager.SelectModule(first);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(manager.selectedModule(), second);
        manager.SelectModule(nullptr);
        QCOMPARE(selected.count(), 2);
        QVERIFY(!manager.selectedModule());
    }

    void removeAllModulesEmptiesTheProject()
    {
        ModuleManager manager(appDir.path());
        addModule(manager, 4, 1);
        addModule(manager, 3, 2);
        addModule(manager, 4, 3);
        QSignalSpy removed(&manager, &ModuleManager::moduleRemoved);
        manager.removeAllModules();
        QCOMPARE(removed.count(), 3);
        QVERIFY(manager.modules().empty());
        QVERIFY(!manager.selectedModule());
    }

    void savedEntriesRecreateTheModulesWithTheirSettings()
    {
        ModuleManager manager(appDir.path());
        const ModuleBasePtr k68 = addModule(manager, 3, 5);
        const ModuleBasePtr k57 = addModule(manager, 4, 8);
        k68->onSettingUpdated("remote_serial_slot2card4_serial4", "Alarm panel");
        k57->onSettingUpdated("motherboard_video3", "Gate");
        ptree project;
        QVERIFY(manager.saveModules(project));

        QCOMPARE(project.get_child("modules").size(), std::size_t(2));
        const ptree& first = project.get_child("modules").begin()->second;
        QCOMPARE(project.get_child("modules").begin()->first, std::string("module"));
        QCOMPARE(first.get<int>("type"), 3);
        QCOMPARE(first.get<int>("id"), 5);
        QCOMPARE(first.get<std::string>("settings.port"), std::string("<None>"));
        QCOMPARE(first.get<std::string>("settings.remote.serial.slot2card4_serial4"),
            std::string("Alarm panel"));

        manager.removeAllModules();
        RequestLog log(manager);
        QSignalSpy added(&manager, &ModuleManager::moduleAdded);
        QVERIFY(manager.loadModules(project));
        QCOMPARE(log.requests.size(), std::size_t(2));
        QCOMPARE(log.requests[0].requestedId, 5);
        QCOMPARE(log.requests[0].deviceType, UInt32(3));
        QCOMPARE(log.requests[1].requestedId, 8);
        QCOMPARE(log.requests[1].deviceType, UInt32(4));
        QCOMPARE(added.count(), 0);

        answer(manager, log.requests[0], 5);
        answer(manager, log.requests[1], 8);
        QCOMPARE(added.count(), 2);
        const ModuleBasePtr loadedK68 = moduleFrom(added, 0);
        QVERIFY(qobject_cast<ModuleK68TLC*>(loadedK68.get()));
        QCOMPARE(loadedK68->onSettingRequested("remote_serial_slot2card4_serial4"),
            QString("Alarm panel"));
        QCOMPARE(moduleFrom(added, 1)->onSettingRequested("motherboard_video3"), QString("Gate"));
    }

    void loadingModuleEntries_data()
    {
        QTest::addColumn<QString>("descriptors"); // empty: the built-in ones
        QTest::addColumn<QString>("entries");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QList<int>>("requestedIds");

        QTest::newRow("no modules element") << ""
                                            << "" << false << QList<int>();
        QTest::newRow("only other elements")
            << ""
            << "<modules><unit><type>4</type><id>1</id></unit></modules>" << false << QList<int>();
        QTest::newRow("a type without descriptor")
            << ""
            << "<modules><module><type>7</type><id>1</id></module></modules>" << false
            << QList<int>();
        QTest::newRow("ids the console cannot give")
            << ""
            << "<modules><module><type>4</type><id>65535</id></module>"
               "<module><type>4</type><id>-3</id></module>"
               "<module><type>4</type><id>70000</id></module>"
               "<module><type>4</type><id>65534</id></module></modules>"
            << true << QList<int> { -1, -1, -1, 65534 };
        QTest::newRow("two descriptors of one type")
            << "<modules><module><name>A</name><type>4</type></module>"
               "<module><name>B</name><type>4</type></module></modules>"
            << "<modules><module><type>4</type><id>2</id></module></modules>" << true
            << QList<int> { 2 };
    }

    void loadingModuleEntries()
    {
        QFETCH(QString, descriptors);
        QFETCH(QString, entries);
        if (!descriptors.isEmpty())
            writeDescriptorFile(descriptors);
        ModuleManager manager(appDir.path());
        RequestLog log(manager);
        const ptree project = xmlTree(entries);
        QTEST(manager.loadModules(project), "result");
        QList<int> ids;
        for (const auto& request : log.requests)
            ids << request.requestedId;
        QTEST(ids, "requestedIds");
    }

    void brokenModuleEntriesReachTheProjectLoader_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::newRow("type missing") << "<modules><module><id>1</id></module></modules>";
        QTest::newRow("id missing") << "<modules><module><type>4</type></module></modules>";
        QTest::newRow("type not a number")
            << "<modules><module><type>K57</type><id>1</id></module></modules>";
        QTest::newRow("id not a number")
            << "<modules><module><type>4</type><id>first</id></module></modules>";
    }

    void brokenModuleEntriesReachTheProjectLoader()
    {
        QFETCH(QString, entries);
        ModuleManager manager(appDir.path());
        const ptree project = xmlTree(entries);
        QVERIFY_EXCEPTION_THROWN(manager.loadModules(project), boost::property_tree::ptree_error);
    }

private:
    void writeDescriptorFile(const QString& xml)
    {
        QFile file(appDir.filePath("moduledescriptors.xml"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(xml.toUtf8());
    }

    static std::shared_ptr<ModuleDescriptor> descriptorOf(const ModuleManager& manager, int type)
    {
        for (const auto& descriptor : manager.descriptors()) {
            if (descriptor->deviceType == type)
                return descriptor;
        }
        return nullptr;
    }

    // A module made the way the console makes it: a request, then the answer.
    static ModuleBasePtr addModule(ModuleManager& manager, int type, UInt32 deviceId)
    {
        RequestLog log(manager);
        QSignalSpy added(&manager, &ModuleManager::moduleAdded);
        manager.AddModule(descriptorOf(manager, type));
        answer(manager, log.requests.at(0), deviceId);
        return added.count() == 1 ? moduleFrom(added, 0) : nullptr;
    }

    // The client bridge's word that it has registered the module with this device id.
    static void announceRegistration(ModuleManager& manager, UInt32 deviceId)
    {
        manager.onMessage(MsgModuleRegistered, sizeof deviceId, &deviceId);
    }

    static ptree xmlTree(const QString& xml)
    {
        std::istringstream input(xml.toStdString());
        ptree tree;
        boost::property_tree::read_xml(input, tree);
        return tree;
    }

    QTemporaryDir appDir;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ModuleBase::registerMetaTypes();
    ModuleManagerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modulemanager.moc"
