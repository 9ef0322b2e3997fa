#pragma once
// Project dialogs answered from a script. Each call is recorded with its texts; a call without
// a scripted answer is recorded as well and answered as if the user cancelled, so an
// unexpected question shows up in the test instead of hanging it.
//
// Thread: the test's thread. Owner: AppProjects; the test keeps a non-owning pointer.
#include "projects/iprojectdialogs.h"

#include <QList>
#include <QStringList>
#include <QVector>

class ScriptedDialogs : public IProjectDialogs
{
public:
    struct Shown
    {
        QString kind; // "open", "save", "ask" or "error"
        QString title; // caption of a file dialog, title of a message
        QString text;
        QString informativeText;
        QString directory;
        QString filter;
        bool answered;
    };

    QString chooseOpenFileName(
        const QString& caption, const QString& directory, const QString& filter) override;
    QString chooseSaveFileName(
        const QString& caption, const QString& directory, const QString& filter) override;
    SaveChoice askSaveChanges(
        const QString& title, const QString& text, const QString& informativeText) override;
    void showError(const QString& title, const QString& text) override;

    QVector<Shown> ofKind(const QString& kind) const;
    bool allAnswered() const;

    QStringList openNames;
    QStringList saveNames;
    QList<SaveChoice> choices;
    QVector<Shown> shown;

private:
    QString nextName(QStringList& names, const QString& kind, const QString& caption,
        const QString& directory, const QString& filter);
};
