#include "projects/projectfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace pt = boost::property_tree;

namespace {

bool fail(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
    return false;
}

bool isBlank(const std::string& text)
{
    return std::all_of(
        text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

// The reader keeps the indentation between child elements as the parent's text. It is layout,
// not content: dropped, a tree read back equals the tree that was written, and a loaded subtree
// that is saved again does not gather a blank line per level on every save.
void dropLayout(pt::ptree& tree)
{
    for (auto& child : tree)
        dropLayout(child.second);
    if (!tree.empty() && isBlank(tree.data()))
        tree.data().clear();
}

} // namespace

std::string ProjectFile::serialise(const pt::ptree& tree)
{
    std::ostringstream stream;
    pt::write_xml(stream, tree, pt::xml_writer_make_settings<std::string>(' ', 4, "utf-8"));
    return stream.str();
}

bool ProjectFile::parse(const std::string& text, pt::ptree& tree, QString* reason)
{
    std::istringstream stream(text);
    try {
        pt::ptree parsed;
        pt::read_xml(stream, parsed);
        dropLayout(parsed);
        tree.swap(parsed);
        return true;
    } catch (const pt::xml_parser_error& error) {
        return fail(reason, QString::fromStdString(error.what()));
    }
}

bool ProjectFile::read(const QString& path, pt::ptree& tree, QString* reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(reason, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(reason, file.errorString());
    return parse(bytes.toStdString(), tree, reason);
}

bool ProjectFile::write(const QString& path, const pt::ptree& tree, QString* reason)
{
    const QFileInfo info(path);
    if (!info.exists())
        QDir().mkpath(info.absolutePath());
    // The text goes to a temporary file beside the target, which replaces the target only once
    // it is complete and synced: a full disk or a crash leaves the old project as it was.
    const std::string text = serialise(tree);
    const auto size = static_cast<qint64>(text.size());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(reason, file.errorString());
    // A short write (disk full, file size limit) sets no error; committing after it would put a
    // truncated project in place of the old one.
    if (file.write(text.data(), size) != size) {
        return fail(reason,
            file.error() != QFileDevice::NoError
                ? file.errorString()
                : QCoreApplication::translate("ProjectFile",
                    "The project could not be written completely; the disk may be full."));
    }
    if (!file.commit())
        return fail(reason, file.errorString());
    return true;
}
