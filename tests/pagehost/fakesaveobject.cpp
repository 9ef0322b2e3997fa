#include "fakesaveobject.h"

#include <boost/property_tree/ptree.hpp>

bool FakeSaveObject::saveContent(boost::property_tree::ptree& root)
{
    root.get_child("project").put("value", value);
    return true;
}

bool FakeSaveObject::loadContent(const boost::property_tree::ptree& root)
{
    value = root.get<int>("project.value", value);
    return true;
}

void FakeSaveObject::resetContent()
{
    ++resets;
}

void FakeSaveObject::setProjectTitle(const QString&)
{
}
