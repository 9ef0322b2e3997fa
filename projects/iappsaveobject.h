#pragma once
// The project's content as the project manager sees it. AppProjects never knows what a project
// holds (modules, project settings): it hands a property tree to this interface to be filled or
// read, tells it when the project is dropped, and tells it the project's name for the title.
//
// Thread: GUI thread only. Owner: the implementer (the main window); AppProjects keeps a
// non-owning pointer, so the implementer must outlive the project manager.
#include <QString>

#include <boost/property_tree/ptree_fwd.hpp>

class IAppSaveObject
{
public:
    virtual ~IAppSaveObject() = default;

    // Fills the child "project" of root, which exists and is empty; false when the content
    // cannot be written.
    virtual bool saveContent(boost::property_tree::ptree& root) = 0;
    // Replaces the content with the child "project" of root; false when root holds no loadable
    // project. Property-tree errors thrown for malformed entries are caught by the caller.
    virtual bool loadContent(const boost::property_tree::ptree& root) = 0;
    // Drops the content: the user starts a new, empty project.
    virtual void resetContent() = 0;
    // The project's file name for the window title; empty for the unnamed (default) project.
    virtual void setProjectTitle(const QString& name) = 0;
};
