#pragma once
// Settings of the project as a whole, kept in the project file beside the module entries: for
// now only whether the pages may play their audible alerts.
//
// Thread: GUI thread. Owner: the main window (one instance per process).
#include <QObject>

#include <boost/property_tree/ptree_fwd.hpp>

class ProjectSettings : public QObject
{
    Q_OBJECT
public:
    explicit ProjectSettings(QObject* parent = nullptr);

    void setSoundEnabled(bool enabled);
    bool isSoundEnabled() const { return sound; }

    // Takes the settings from the element "project_settings" of a project; a missing or
    // unreadable value keeps the setting in force. Always true.
    bool read(const boost::property_tree::ptree& project);
    // Appends the element "project_settings" to a project. Always true.
    bool write(boost::property_tree::ptree& project) const;

signals:
    // After every change of the sound setting.
    void soundEnabledUpdate(bool enabled);

public slots:
    // A new project: sound on.
    void reset();

private:
    bool sound = true;
};
