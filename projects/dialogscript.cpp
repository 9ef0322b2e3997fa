#include "projects/dialogscript.h"

#include "projects/logging.h"

#include <QFile>
#include <QStringList>

namespace {

QString escapeField(QString field)
{
    field.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    field.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    field.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    field.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return field;
}

QStringList answerLines(const QString& path)
{
    QFile file(path);
    QStringList answers;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return answers;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString answer = line.trimmed();
        if (!answer.isEmpty() && !answer.startsWith(QLatin1Char('#')))
            answers << answer;
    }
    return answers;
}

} // namespace

std::shared_ptr<DialogScript> DialogScript::fromEnvironment()
{
    static std::shared_ptr<DialogScript> current;
    const QString path = qEnvironmentVariable(EnvironmentVariable);
    if (path.isEmpty())
        return nullptr;
    if (!current || current->scriptPath() != path)
        current = std::make_shared<DialogScript>(path);
    return current;
}

DialogScript::DialogScript(const QString& scriptPath)
    : path(scriptPath)
{
}

std::optional<QString> DialogScript::ask(
    const QString& kind, const QString& title, const QString& text, const QString& detail)
{
    const std::optional<QString> line = nextLine();
    if (!line) {
        record(kind, title, text, detail, QStringLiteral("!unanswered"));
        return std::nullopt;
    }
    const QString lineKind = line->section(QLatin1Char(' '), 0, 0);
    if (lineKind != kind) {
        record(kind, title, text, detail, QStringLiteral("!mismatch ") + *line);
        return std::nullopt;
    }
    ++used;
    const QString value = line->section(QLatin1Char(' '), 1).trimmed();
    record(kind, title, text, detail, value);
    return value;
}

QString DialogScript::askForPath(
    const QString& kind, const QString& caption, const QString& directory, const QString& filter)
{
    const std::optional<QString> answer = ask(kind, caption, directory, filter);
    if (!answer || *answer == QLatin1String("cancel"))
        return QString();
    return *answer;
}

std::optional<QString> DialogScript::nextLine() const
{
    // Read at every question: the test may have appended answers since the last one.
    const QStringList answers = answerLines(path);
    if (used >= answers.size())
        return std::nullopt;
    return answers.at(used);
}

void DialogScript::record(const QString& kind, const QString& title, const QString& text,
    const QString& detail, const QString& answer) const
{
    QFile file(recordPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qCWarning(lcProjects) << "Cannot write the dialog record" << recordPath();
        return;
    }
    const QStringList fields { kind, title, text, detail, answer };
    QStringList escaped;
    for (const QString& field : fields)
        escaped << escapeField(field);
    file.write(escaped.join(QLatin1Char('\t')).toUtf8() + '\n');
}
