#include "projects/scriptedprojectdialogs.h"

#include "projects/projectdialogs.h"

ScriptedProjectDialogs::ScriptedProjectDialogs(std::shared_ptr<DialogScript> script)
    : script(std::move(script))
{
}

QString ScriptedProjectDialogs::chooseOpenFileName(
    const QString& caption, const QString& directory, const QString& filter)
{
    return script->askForPath(QStringLiteral("open"), caption, directory, filter);
}

QString ScriptedProjectDialogs::chooseSaveFileName(
    const QString& caption, const QString& directory, const QString& filter)
{
    return script->askForPath(QStringLiteral("save"), caption, directory, filter);
}

IProjectDialogs::SaveChoice ScriptedProjectDialogs::askSaveChanges(
    const QString& title, const QString& text, const QString& informativeText)
{
    const std::optional<QString> answer
        = script->ask(QStringLiteral("project"), title, text, informativeText);
    if (answer == QLatin1String("save"))
        return SaveChoice::Save;
    if (answer == QLatin1String("discard"))
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

void ScriptedProjectDialogs::showError(const QString& title, const QString& text)
{
    // Any answer acknowledges the message; the record is what a test looks at.
    script->ask(QStringLiteral("error"), title, text);
}

std::unique_ptr<IProjectDialogs> createProjectDialogs()
{
    if (std::shared_ptr<DialogScript> script = DialogScript::fromEnvironment())
        return std::make_unique<ScriptedProjectDialogs>(std::move(script));
    return std::make_unique<ProjectDialogs>();
}
