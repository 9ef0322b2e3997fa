#pragma once
// The project manager's questions answered from the dialog script (see dialogscript.h for the
// answer syntax): "open", "save", "project" and "error" lines. A question the script cannot
// answer is recorded and answered as a cancel.
//
// createProjectDialogs() is what the application hands to AppProjects: these scripted dialogs
// when VAREN_DIALOG_SCRIPT names a file, the real ProjectDialogs otherwise.
//
// Thread: GUI thread only. Owner: AppProjects (std::unique_ptr); the script is shared.
#include "projects/dialogscript.h"
#include "projects/iprojectdialogs.h"

#include <memory>

class ScriptedProjectDialogs : public IProjectDialogs
{
public:
    explicit ScriptedProjectDialogs(std::shared_ptr<DialogScript> script);

    QString chooseOpenFileName(
        const QString& caption, const QString& directory, const QString& filter) override;
    QString chooseSaveFileName(
        const QString& caption, const QString& directory, const QString& filter) override;
    SaveChoice askSaveChanges(
        const QString& title, const QString& text, const QString& informativeText) override;
    void showError(const QString& title, const QString& text) override;

private:
    std::shared_ptr<DialogScript> script;
};

// Scripted dialogs when the environment names a dialog script, else the real ones.
std::unique_ptr<IProjectDialogs> createProjectDialogs();
