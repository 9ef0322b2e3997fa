#pragma once
// Builds the list of module kinds: from "moduledescriptors.xml" in the application's directory
// when that file is readable XML with a "modules" root, else the two built-in kinds.
//
// Thread: the GUI thread. Owner: none (static functions).
#include "modules/moduledescriptor.h"

#include <boost/property_tree/ptree_fwd.hpp>

#include <memory>
#include <vector>

class ModuleDescriptorReader
{
public:
    using Descriptors = std::vector<std::shared_ptr<ModuleDescriptor>>;

    static Descriptors read(const QString& applicationDir);
    static Descriptors builtIn();

private:
    static std::shared_ptr<ModuleDescriptor> descriptor(
        const boost::property_tree::ptree& module, const QString& applicationDir);
    static std::vector<ModuleDescriptor::Shortcut> shortcuts(
        const boost::property_tree::ptree& module, const QString& applicationDir);
    static int deviceType(const boost::property_tree::ptree& module);
    static QString path(
        const boost::property_tree::ptree& node, const char* child, const QString& applicationDir);
};
