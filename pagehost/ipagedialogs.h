#pragma once
// The dialogs a page opens through qtobj: native file dialogs and the confirm and alert boxes.
// HtmlComms decides what is asked; an implementation only shows it. The application uses
// QtPageDialogs, end-to-end tests ScriptedPageDialogs (createPageDialogs() picks one).
//
// Thread: GUI thread only. Owner: HtmlComms (std::unique_ptr).
#include <QString>

class QWidget;

class IPageDialogs
{
public:
    virtual ~IPageDialogs() = default;

    // The chosen path, or empty when cancelled.
    virtual QString chooseOpenFileName(
        const QString& caption, const QString& directory, const QString& filter)
        = 0;
    virtual QString chooseSaveFileName(
        const QString& caption, const QString& directory, const QString& filter)
        = 0;
    // A question with Yes and Cancel; true only for Yes (the close button is Cancel).
    virtual bool confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    // A warning the user acknowledges with OK.
    virtual void alert(QWidget* parent, const QString& title, const QString& text) = 0;
};
