#include "modules/videonames.h"

#include "modules/modulesettings.h"

#include <QRegularExpression>

#include <algorithm>

using boost::property_tree::ptree;

VideoNames::VideoNames()
{
    for (int number = 1; number <= Count; ++number)
        setName(number, QStringLiteral("VIDEO #%1").arg(number));
}

QString VideoNames::name(int number) const
{
    return isValid(number) ? names[static_cast<std::size_t>(number - 1)] : QString();
}

void VideoNames::setName(int number, const QString& text)
{
    if (isValid(number))
        names[static_cast<std::size_t>(number - 1)] = text;
}

void VideoNames::read(const ptree& node)
{
    const int count = ModuleSettings::readDecimal(node, "slot_count").value_or(0);
    const auto entries = node.get_child_optional("slots");
    if (count < 1 || !entries)
        return;
    // A count beyond the inputs a unit has names nothing more; it must not make us walk a
    // hand-edited file's billions of missing entries either.
    for (int index = 0; index < std::min(count, Count); ++index) {
        if (const auto entry = entries->get_child_optional(std::to_string(index)))
            setName(index + 1, QString::fromStdString(entry->data()));
    }
}

void VideoNames::write(ptree& node) const
{
    node.put("slot_count", Count);
    ptree& entries = node.put_child("slots", ptree());
    for (int index = 0; index < Count; ++index) {
        // Added as a plain child: the element names are bare numbers, never paths.
        entries.push_back({ std::to_string(index), ptree(name(index + 1).toStdString()) });
    }
}

int VideoNames::numberInName(const QString& name)
{
    static const QRegularExpression trailingDigits(QStringLiteral("([0-9]+)$"));
    if (!name.startsWith(QLatin1String("video")))
        return 0;
    const auto match = trailingDigits.match(name.mid(5));
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const int number = match.captured(1).toInt(&ok);
    return ok && isValid(number) ? number : 0;
}
