#include "pagehost/scriptedpagedialogs.h"

#include "pagehost/qtpagedialogs.h"

ScriptedPageDialogs::ScriptedPageDialogs(std::shared_ptr<DialogScript> script)
    : script(std::move(script))
{
}

QString ScriptedPageDialogs::chooseOpenFileName(
    const QString& caption, const QString& directory, const QString& filter)
{
    return script->askForPath(QStringLiteral("open"), caption, directory, filter);
}

QString ScriptedPageDialogs::chooseSaveFileName(
    const QString& caption, const QString& directory, const QString& filter)
{
    return script->askForPath(QStringLiteral("save"), caption, directory, filter);
}

bool ScriptedPageDialogs::confirm(QWidget*, const QString& title, const QString& text)
{
    return script->ask(QStringLiteral("confirm"), title, text) == QLatin1String("yes");
}

void ScriptedPageDialogs::alert(QWidget*, const QString& title, const QString& text)
{
    // Any answer acknowledges the warning; the record is what a test looks at.
    script->ask(QStringLiteral("alert"), title, text);
}

std::unique_ptr<IPageDialogs> createPageDialogs()
{
    if (std::shared_ptr<DialogScript> script = DialogScript::fromEnvironment())
        return std::make_unique<ScriptedPageDialogs>(std::move(script));
    return std::make_unique<QtPageDialogs>();
}
