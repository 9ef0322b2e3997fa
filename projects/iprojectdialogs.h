#pragma once
// Every question the project manager puts to the user. AppProjects decides what is asked and
// with which texts; an implementation only shows it. The application uses ProjectDialogs; tests
// answer from a script, so no project operation needs a person.
//
// Thread: GUI thread only. Owner: AppProjects (std::unique_ptr).
#include <QString>

class IProjectDialogs
{
public:
    enum class SaveChoice { Save, Discard, Cancel };

    virtual ~IProjectDialogs() = default;

    // The chosen path, or empty when the user cancelled.
    virtual QString chooseOpenFileName(
        const QString& caption, const QString& directory, const QString& filter)
        = 0;
    virtual QString chooseSaveFileName(
        const QString& caption, const QString& directory, const QString& filter)
        = 0;
    // Save, Discard or Cancel; closing the question without an answer is Cancel.
    virtual SaveChoice askSaveChanges(
        const QString& title, const QString& text, const QString& informativeText)
        = 0;
    // A critical message that the user acknowledges.
    virtual void showError(const QString& title, const QString& text) = 0;
};
