#pragma once
// Reads the dialog record ("<script>.asked") back as a test sees it: one row per question,
// the five fields kind, title, text, detail, answer, with the escapes undone.
#include <QStringList>
#include <QVector>

namespace askedrecord {

QVector<QStringList> read(const QString& scriptPath);

} // namespace askedrecord
