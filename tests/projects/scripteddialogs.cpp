#include "scripteddialogs.h"

#include <algorithm>

QString ScriptedDialogs::chooseOpenFileName(
    const QString& caption, const QString& directory, const QString& filter)
{
    return nextName(openNames, "open", caption, directory, filter);
}

QString ScriptedDialogs::chooseSaveFileName(
    const QString& caption, const QString& directory, const QString& filter)
{
    return nextName(saveNames, "save", caption, directory, filter);
}

IProjectDialogs::SaveChoice ScriptedDialogs::askSaveChanges(
    const QString& title, const QString& text, const QString& informativeText)
{
    const bool answered = !choices.isEmpty();
    shown.push_back({ "ask", title, text, informativeText, {}, {}, answered });
    return answered ? choices.takeFirst() : SaveChoice::Cancel;
}

void ScriptedDialogs::showError(const QString& title, const QString& text)
{
    shown.push_back({ "error", title, text, {}, {}, {}, true });
}

QVector<ScriptedDialogs::Shown> ScriptedDialogs::ofKind(const QString& kind) const
{
    QVector<Shown> found;
    std::copy_if(shown.begin(), shown.end(), std::back_inserter(found),
        [&](const Shown& entry) { return entry.kind == kind; });
    return found;
}

bool ScriptedDialogs::allAnswered() const
{
    return std::all_of(
        shown.begin(), shown.end(), [](const Shown& entry) { return entry.answered; });
}

QString ScriptedDialogs::nextName(QStringList& names, const QString& kind, const QString& caption,
    const QString& directory, const QString& filter)
{
    const bool answered = !names.isEmpty();
    shown.push_back({ kind, caption, {}, {}, directory, filter, answered });
    return answered ? names.takeFirst() : QString();
}
