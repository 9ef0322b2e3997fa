#pragma once
// Reading and writing project files: XML through the property-tree reader and writer, UTF-8,
// an XML declaration naming "utf-8" and four spaces of indentation per level. Change detection
// passes the content in memory through the same writer and reader, so that only the data,
// never the layout, decides whether a project has changed.
//
// Thread: any (no state). Owner: none; the functions are static.
#include <QString>

#include <boost/property_tree/ptree_fwd.hpp>

#include <string>

class ProjectFile
{
public:
    static std::string serialise(const boost::property_tree::ptree& tree);
    // False when text is not well-formed XML; reason (if given) then says why.
    static bool parse(
        const std::string& text, boost::property_tree::ptree& tree, QString* reason = nullptr);
    static bool read(
        const QString& path, boost::property_tree::ptree& tree, QString* reason = nullptr);
    // Replaces the file at path as a whole or not at all, creating its folder if needed. On
    // failure the old file is untouched and reason (if given) says why.
    static bool write(
        const QString& path, const boost::property_tree::ptree& tree, QString* reason = nullptr);
};
