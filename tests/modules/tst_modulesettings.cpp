// Module settings: the setting-name grammar the pages use, and the project subtrees (written as
// XML and read back, as a project file does).
#include "modules/modulek57qmrsettings.h"
#include "modules/modulek68tlcsettings.h"

#include <gtest/gtest.h>

#include <boost/property_tree/xml_parser.hpp>

#include <sstream>

using boost::property_tree::ptree;

namespace {

// Through XML text, as a project file: element names that are plain numbers must survive.
ptree throughXml(const ptree& settings)
{
    ptree document;
    document.add_child("settings", settings);
    std::ostringstream text;
    boost::property_tree::write_xml(text, document);
    std::istringstream input(text.str());
    ptree back;
    boost::property_tree::read_xml(input, back);
    return back.get_child("settings");
}

ptree xmlSettings(const std::string& body)
{
    std::istringstream input("<settings>" + body + "</settings>");
    ptree document;
    boost::property_tree::read_xml(input, document);
    return document.get_child("settings");
}

struct NameCase
{
    const char* name;
    const char* expected;
};

std::ostream& operator<<(std::ostream& out, const NameCase& c)
{
    return out << '"' << c.name << '"';
}

} // namespace

class K57SettingNames : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(K57SettingNames, answerWithTheNamedVideoInputOrNothing)
{
    const ModuleK57QMRSettings settings;
    EXPECT_EQ(settings.requestSetting(GetParam().name).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Grammar, K57SettingNames,
    ::testing::Values(NameCase { "motherboard_video1", "VIDEO #1" },
        NameCase { "motherboard_video2", "VIDEO #2" },
        NameCase { "motherboard_video4", "VIDEO #4" },
        NameCase { "motherboard_video02", "VIDEO #2" }, NameCase { "motherboard_video5", "" },
        NameCase { "motherboard_video0", "" }, NameCase { "motherboard_video", "" },
        NameCase { "motherboard_videoX", "" }, NameCase { "motherboard_video99999999999", "" },
        NameCase { "Motherboard_video2", "" }, NameCase { "video2", "" },
        NameCase { "motherboard_slot2", "" }, NameCase { "local_motherboard_video2", "" }));

class K68SettingNames : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(K68SettingNames, answerWithTheNamedSideEntryOrNothing)
{
    const ModuleK68TLCSettings settings;
    EXPECT_EQ(settings.requestSetting(GetParam().name).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Grammar, K68SettingNames,
    ::testing::Values(NameCase { "local_motherboard_video1", "VIDEO #1" },
        NameCase { "remote_motherboard_video4", "VIDEO #4" },
        NameCase { "remote_motherboard_video5", "" },
        NameCase { "local_serial_slot1card1_serial1", "SERIAL #1" },
        NameCase { "remote_serial_slot2card4_serial4", "SERIAL #4" },
        NameCase { "local_ethernet_slot1card3_ethernet2", "ETHERNET #2" },
        NameCase { "local_serial_slot3card1_serial1", "" },
        NameCase { "local_serial_slot1card1_ethernet1", "" },
        NameCase { "serial_slot1card1_serial1", "" }, NameCase { "motherboard_video1", "" },
        NameCase { "Local_serial_slot1card1_serial1", "" },
        NameCase { "local_slot1card1_serial1", "" }));

TEST(K57Settings, updateChangesOnlyTheNamedVideoInput)
{
    ModuleK57QMRSettings settings;
    settings.updateSetting("motherboard_video2", "Gate camera");
    settings.updateSetting("motherboard_video5", "nowhere");
    settings.updateSetting("motherboard_video", "nowhere");
    EXPECT_EQ(settings.requestSetting("motherboard_video2").toStdString(), "Gate camera");
    for (const char* other : { "motherboard_video1", "motherboard_video3", "motherboard_video4" })
        EXPECT_EQ(settings.requestSetting(other).left(7).toStdString(), "VIDEO #") << other;
}

TEST(K57Settings, roundTripThroughAProjectFile)
{
    ModuleK57QMRSettings saved;
    saved.setPort("COM7");
    saved.setBaudRate(9600);
    for (int n = 1; n <= 4; ++n)
        saved.updateSetting(QString("motherboard_video%1").arg(n), QString("Camera %1").arg(n));
    ptree written;
    saved.write(written);

    ModuleK57QMRSettings loaded;
    loaded.read(throughXml(written));
    EXPECT_EQ(loaded.port(), "COM7");
    EXPECT_EQ(loaded.baudRate(), 9600);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(loaded.requestSetting(QString("motherboard_video%1").arg(n)),
            QString("Camera %1").arg(n));
    }
    EXPECT_EQ(written.get<int>("slot_count"), 4);
    EXPECT_EQ(written.get<std::string>("slots.3"), "Camera 4");
}

struct EntryCase
{
    const char* label;
    const char* body;
    const char* port;
    int baudRate;
    std::array<const char*, 4> videos;
};

std::ostream& operator<<(std::ostream& out, const EntryCase& c)
{
    return out << c.label;
}

class K57ProjectEntries : public ::testing::TestWithParam<EntryCase>
{
};

// Hand-edited or older project files: what is missing or unreadable keeps the current value.
TEST_P(K57ProjectEntries, readWhatIsThereAndKeepTheRest)
{
    const EntryCase& c = GetParam();
    ModuleK57QMRSettings settings;
    settings.read(xmlSettings(c.body));
    EXPECT_EQ(settings.port(), c.port);
    EXPECT_EQ(settings.baudRate(), c.baudRate);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(settings.requestSetting(QString("motherboard_video%1").arg(n)).toStdString(),
            c.videos[n - 1])
            << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Entries, K57ProjectEntries,
    ::testing::Values(EntryCase { "empty", "", "<None>", 115200,
                          { "VIDEO #1", "VIDEO #2", "VIDEO #3", "VIDEO #4" } },
        EntryCase { "no_slot_count", "<port>COM3</port><slots><0>Yard</0></slots>", "COM3", 115200,
            { "VIDEO #1", "VIDEO #2", "VIDEO #3", "VIDEO #4" } },
        EntryCase { "slot_count_not_a_number",
            "<slot_count>two</slot_count><slots><0>Yard</0></slots>", "<None>", 115200,
            { "VIDEO #1", "VIDEO #2", "VIDEO #3", "VIDEO #4" } },
        EntryCase { "slot_count_below_one", "<slot_count>0</slot_count><slots><0>Yard</0></slots>",
            "<None>", 115200, { "VIDEO #1", "VIDEO #2", "VIDEO #3", "VIDEO #4" } },
        EntryCase { "some_slots_missing",
            "<slot_count>4</slot_count><slots><1>Door</1><3>Roof</3></slots>", "<None>", 115200,
            { "VIDEO #1", "Door", "VIDEO #3", "Roof" } },
        EntryCase { "slot_count_counts_fewer",
            "<slot_count>1</slot_count><slots><0>Yard</0><1>Door</1></slots>", "<None>", 115200,
            { "Yard", "VIDEO #2", "VIDEO #3", "VIDEO #4" } },
        EntryCase { "huge_slot_count",
            "<slot_count>2000000000</slot_count><slots><0>Yard</0><7>Far</7></slots>", "<None>",
            115200, { "Yard", "VIDEO #2", "VIDEO #3", "VIDEO #4" } },
        EntryCase { "baud_rate_not_a_number", "<baudrate>fast</baudrate>", "<None>", 115200,
            { "VIDEO #1", "VIDEO #2", "VIDEO #3", "VIDEO #4" } },
        EntryCase { "baud_rate_negative", "<baudrate>-9600</baudrate>", "<None>", 115200,
            { "VIDEO #1", "VIDEO #2", "VIDEO #3", "VIDEO #4" } },
        EntryCase { "baud_rate", "<baudrate>57600</baudrate>", "<None>", 57600,
            { "VIDEO #1", "VIDEO #2", "VIDEO #3", "VIDEO #4" } }),
    [](const auto& info) { return std::string(info.param.label); });

TEST(K68Settings, updateRenamesAKnownPortOnOneSideOnly)
{
    ModuleK68TLCSettings settings;
    settings.updateSetting("remote_serial_slot2card4_serial4", "Alarm panel");
    settings.updateSetting("local_ethernet_slot1card1_ethernet1", "Switch");
    settings.updateSetting("remote_motherboard_video3", "Mast");
    EXPECT_EQ(
        settings.requestSetting("remote_serial_slot2card4_serial4").toStdString(), "Alarm panel");
    EXPECT_EQ(
        settings.requestSetting("local_serial_slot2card4_serial4").toStdString(), "SERIAL #4");
    EXPECT_EQ(
        settings.requestSetting("local_ethernet_slot1card1_ethernet1").toStdString(), "Switch");
    EXPECT_EQ(settings.requestSetting("remote_motherboard_video3").toStdString(), "Mast");
    EXPECT_EQ(settings.requestSetting("local_motherboard_video3").toStdString(), "VIDEO #3");
}

TEST(K68Settings, updateNeverAddsAPortButAProjectFileDoes)
{
    ModuleK68TLCSettings settings;
    settings.updateSetting("remote_serial_slot3card1_serial1", "Spare");
    EXPECT_EQ(settings.requestSetting("remote_serial_slot3card1_serial1").toStdString(), "");

    settings.read(xmlSettings("<remote><serial><slot3card1_serial1>Spare</slot3card1_serial1>"
                              "</serial></remote>"));
    EXPECT_EQ(settings.requestSetting("remote_serial_slot3card1_serial1").toStdString(), "Spare");
    EXPECT_EQ(settings.requestSetting("local_serial_slot3card1_serial1").toStdString(), "");
    settings.updateSetting("remote_serial_slot3card1_serial1", "Renamed");
    EXPECT_EQ(settings.requestSetting("remote_serial_slot3card1_serial1").toStdString(), "Renamed");
}

TEST(K68Settings, roundTripThroughAProjectFileKeepsBothSides)
{
    ModuleK68TLCSettings saved;
    saved.setPort("COM12");
    saved.setBaudRate(38400);
    const char* const names[] = { "local_motherboard_video1", "remote_motherboard_video4",
        "local_serial_slot1card1_serial1", "remote_serial_slot2card4_serial4",
        "local_ethernet_slot2card3_ethernet2", "remote_ethernet_slot1card1_ethernet1" };
    for (const char* name : names)
        saved.updateSetting(name, QString("renamed %1").arg(name));
    ptree written;
    saved.write(written);

    ModuleK68TLCSettings loaded;
    loaded.read(throughXml(written));
    EXPECT_EQ(loaded.port(), "COM12");
    EXPECT_EQ(loaded.baudRate(), 38400);
    for (const char* name : names)
        EXPECT_EQ(loaded.requestSetting(name), QString("renamed %1").arg(name)) << name;
    EXPECT_EQ(loaded.requestSetting("remote_serial_slot1card1_serial1").toStdString(), "SERIAL #1");

    EXPECT_EQ(written.get_child("local.serial").size(), 32u);
    EXPECT_EQ(written.get_child("remote.ethernet").size(), 32u);
    EXPECT_EQ(written.get<int>("remote.slot_count"), 4);
    // The side's children in the order a project file lists them.
    std::vector<std::string> order;
    for (const auto& child : written.get_child("local"))
        order.push_back(child.first);
    EXPECT_EQ(order, (std::vector<std::string> { "slot_count", "slots", "serial", "ethernet" }));
}

// A key read from a file is an element name; written back it must stay one element, not turn
// into a nested path at its dots.
TEST(K68Settings, aKeyWithADotStaysOneElement)
{
    ModuleK68TLCSettings settings;
    settings.read(xmlSettings("<local><serial><odd.key>Odd</odd.key></serial></local>"));
    ptree written;
    settings.write(written);
    const ptree& serial = written.get_child("local.serial");
    const auto found = std::find_if(
        serial.begin(), serial.end(), [](const auto& child) { return child.first == "odd.key"; });
    ASSERT_NE(found, serial.end());
    EXPECT_EQ(found->second.data(), "Odd");
    EXPECT_EQ(serial.count("odd"), 0u);
}
