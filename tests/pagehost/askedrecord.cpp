#include "askedrecord.h"

#include <QFile>

namespace askedrecord {
namespace {

QString unescape(const QString& field)
{
    QString plain;
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] != QLatin1Char('\\') || i + 1 == field.size()) {
            plain += field[i];
            continue;
        }
        const QChar code = field[++i];
        plain += code == QLatin1Char('t') ? QChar('\t')
            : code == QLatin1Char('r')    ? QChar('\r')
            : code == QLatin1Char('n')    ? QChar('\n')
                                          : code;
    }
    return plain;
}

} // namespace

QVector<QStringList> read(const QString& scriptPath)
{
    QVector<QStringList> rows;
    QFile file(scriptPath + QStringLiteral(".asked"));
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        QStringList fields;
        for (const QString& field : line.split(QLatin1Char('\t')))
            fields << unescape(field);
        rows << fields;
    }
    return rows;
}

} // namespace askedrecord
