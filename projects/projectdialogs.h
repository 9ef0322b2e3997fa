#pragma once
// The project dialogs as the user sees them: native file dialogs and modal message boxes, all
// without a parent, so they open even before the main window is shown.
//
// Thread: GUI thread only. Owner: AppProjects.
#include "projects/iprojectdialogs.h"

class ProjectDialogs : public IProjectDialogs
{
public:
    QString chooseOpenFileName(
        const QString& caption, const QString& directory, const QString& filter) override;
    QString chooseSaveFileName(
        const QString& caption, const QString& directory, const QString& filter) override;
    SaveChoice askSaveChanges(
        const QString& title, const QString& text, const QString& informativeText) override;
    void showError(const QString& title, const QString& text) override;
};
