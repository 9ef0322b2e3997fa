#pragma once
// Project content for the project manager in tests: one value that saves and loads, and a count
// of resets, which is how a test sees that a new project was started.
//
// Thread: the test's thread. Owner: the test; it outlives the project manager.
#include "projects/iappsaveobject.h"

class FakeSaveObject : public IAppSaveObject
{
public:
    bool saveContent(boost::property_tree::ptree& root) override;
    bool loadContent(const boost::property_tree::ptree& root) override;
    void resetContent() override;
    void setProjectTitle(const QString& name) override;

    int value = 1;
    int resets = 0;
};
