#pragma once
// The page dialogs answered from the dialog script (see projects/dialogscript.h for the syntax):
// "open", "save", "confirm" and "alert" lines. A question the script cannot answer is recorded
// and answered as a cancel.
//
// createPageDialogs() is what HtmlComms uses unless told otherwise: these scripted dialogs when
// VAREN_DIALOG_SCRIPT names a file, QtPageDialogs otherwise.
//
// Thread: GUI thread only. Owner: HtmlComms (std::unique_ptr); the script is shared.
#include "pagehost/ipagedialogs.h"
#include "projects/dialogscript.h"

#include <memory>

class ScriptedPageDialogs : public IPageDialogs
{
public:
    explicit ScriptedPageDialogs(std::shared_ptr<DialogScript> script);

    QString chooseOpenFileName(
        const QString& caption, const QString& directory, const QString& filter) override;
    QString chooseSaveFileName(
        const QString& caption, const QString& directory, const QString& filter) override;
    bool confirm(QWidget* parent, const QString& title, const QString& text) override;
    void alert(QWidget* parent, const QString& title, const QString& text) override;

private:
    std::shared_ptr<DialogScript> script;
};

// Scripted dialogs when the environment names a dialog script, else the real ones.
std::unique_ptr<IPageDialogs> createPageDialogs();
