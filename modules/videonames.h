#pragma once
// The user's names for the four video inputs of one side of a unit, as pages show them instead
// of "VIDEO #n", with their part of a project's settings element ("slot_count" and "slots").
//
// Thread: the GUI thread. Owner: the settings object that holds it.
#include <QString>

#include <boost/property_tree/ptree.hpp>

#include <array>

class VideoNames
{
public:
    static constexpr int Count = 4;

    VideoNames();

    // Number 1 to Count; any other number names nothing and reads empty.
    QString name(int number) const;
    void setName(int number, const QString& text);

    void read(const boost::property_tree::ptree& node);
    void write(boost::property_tree::ptree& node) const;

    // The video number a setting name stands for once its prefixes are gone: "video" followed
    // by text ending in digits 1 to Count; 0 when it names no video input.
    static int numberInName(const QString& name);

private:
    static bool isValid(int number) { return number >= 1 && number <= Count; }

    std::array<QString, Count> names;
};
