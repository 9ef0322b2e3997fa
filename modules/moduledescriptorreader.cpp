#include "modules/moduledescriptorreader.h"

#include <QFileInfo>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

using boost::property_tree::ptree;

namespace {

const char* const FileName = "/moduledescriptors.xml";
const char* const StackView = "qrc:/html/K57-QMR/stack-view.html";

QString text(const ptree& node, const char* child)
{
    return QString::fromStdString(node.get<std::string>(child, ""));
}

} // namespace

ModuleDescriptorReader::Descriptors ModuleDescriptorReader::read(const QString& applicationDir)
{
    ptree document;
    try {
        boost::property_tree::read_xml((applicationDir + FileName).toStdString(), document);
    } catch (const boost::property_tree::ptree_error&) {
        return builtIn();
    }
    const auto modules = document.get_child_optional("modules");
    if (!modules)
        return builtIn();
    Descriptors descriptors;
    for (const auto& [name, module] : *modules) {
        if (name == "module")
            descriptors.push_back(descriptor(module, applicationDir));
    }
    return descriptors;
}

ModuleDescriptorReader::Descriptors ModuleDescriptorReader::builtIn()
{
    auto k68 = std::make_shared<ModuleDescriptor>();
    k68->name = QStringLiteral("K68-TLC");
    k68->image = QStringLiteral(":/icons/K68-TLC.png");
    k68->homepage = QString::fromLatin1(StackView);
    k68->deviceType = ModuleDescriptor::K68TLCType;
    auto k57 = std::make_shared<ModuleDescriptor>();
    k57->name = QStringLiteral("K57-QMR");
    k57->image = QStringLiteral(":/icons/K57-QMR.png");
    k57->homepage = QString::fromLatin1(StackView);
    k57->deviceType = ModuleDescriptor::K57QMRType;
    return { k68, k57 };
}

std::shared_ptr<ModuleDescriptor> ModuleDescriptorReader::descriptor(
    const ptree& module, const QString& applicationDir)
{
    auto result = std::make_shared<ModuleDescriptor>();
    result->name = text(module, "name");
    result->image = path(module, "image", applicationDir);
    result->homepage = path(module, "homepage", applicationDir);
    result->deviceType = deviceType(module);
    result->shortcuts = shortcuts(module, applicationDir);
    return result;
}

std::vector<ModuleDescriptor::Shortcut> ModuleDescriptorReader::shortcuts(
    const ptree& module, const QString& applicationDir)
{
    std::vector<ModuleDescriptor::Shortcut> result;
    const auto list = module.get_child_optional("shortcuts");
    if (!list)
        return result;
    for (const auto& [name, shortcut] : *list) {
        if (name == "shortcut") {
            result.push_back({ text(shortcut, "name"), path(shortcut, "url", applicationDir),
                path(shortcut, "image", applicationDir) });
        }
    }
    return result;
}

// Files written by hand often get the type wrong; such a module is taken for a K68-TLC.
int ModuleDescriptorReader::deviceType(const ptree& module)
{
    bool ok = false;
    const int type = text(module, "type").trimmed().toInt(&ok, 10);
    return ok ? type : ModuleDescriptor::K68TLCType;
}

// Resource URLs and absolute paths stand as written; a relative path is taken from the
// application's directory. An absent element stays empty rather than naming the directory.
QString ModuleDescriptorReader::path(
    const ptree& node, const char* child, const QString& applicationDir)
{
    const QString written = text(node, child);
    if (written.isEmpty() || written.startsWith(QLatin1String("qrc:"))
        || !QFileInfo(written).isRelative())
        return written;
    return applicationDir + QLatin1Char('/') + written;
}
