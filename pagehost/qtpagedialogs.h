#pragma once
// The page dialogs as the user sees them: native file dialogs without a parent, and message
// boxes modal to the parent the bridge passes (the main window).
//
// Thread: GUI thread only. Owner: HtmlComms.
#include "pagehost/ipagedialogs.h"

class QtPageDialogs : public IPageDialogs
{
public:
    QString chooseOpenFileName(
        const QString& caption, const QString& directory, const QString& filter) override;
    QString chooseSaveFileName(
        const QString& caption, const QString& directory, const QString& filter) override;
    bool confirm(QWidget* parent, const QString& title, const QString& text) override;
    void alert(QWidget* parent, const QString& title, const QString& text) override;
};
