#include "app/addmoduleitem.h"

#include "app/addmodulebutton.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QVBoxLayout>

namespace {
constexpr int TileSize = 98;
constexpr int IconSize = 70;
constexpr int HueShift = 15;
constexpr int AchromaticHue = 359;
constexpr int Lighten = 125;
} // namespace

AddModuleItem::AddModuleItem(std::shared_ptr<ModuleDescriptor> descriptor, QWidget* parent)
    : QWidget(parent)
    , moduleDescriptor(std::move(descriptor))
{
    setupUi();
    button->setText(moduleDescriptor->name);
    button->setIcon(QIcon(moduleDescriptor->image));
    base = baseColourFor(palette().color(backgroundRole()));
    border->setStyleSheet(QStringLiteral("background-color: ") + base.name());
    connect(button, &AddModuleButton::doubleClicked, this, &AddModuleItem::sendDoubleClick);
    QMetaObject::connectSlotsByName(this);
}

void AddModuleItem::setupUi()
{
    setObjectName(QStringLiteral("AddModuleItem"));
    setFixedSize(TileSize, TileSize);
    auto* layout = new QVBoxLayout(this);
    layout->setObjectName(QStringLiteral("verticalLayout_2"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    border = new QWidget(this);
    border->setObjectName(QStringLiteral("widget_Border"));
    auto* borderLayout = new QHBoxLayout(border);
    borderLayout->setObjectName(QStringLiteral("horizontalLayout"));
    borderLayout->setContentsMargins(1, 1, 1, 1);
    button = new AddModuleButton(border);
    button->setObjectName(QStringLiteral("toolButton"));
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    button->setIconSize(QSize(IconSize, IconSize));
    button->setCheckable(true);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setShortcut(QKeySequence(QStringLiteral("Space")));
    borderLayout->addWidget(button);
    layout->addWidget(border);
}

QColor AddModuleItem::baseColourFor(const QColor& background)
{
    const int hue = background.hslHue() < 0 ? AchromaticHue : background.hslHue();
    const QColor shifted = QColor::fromHsl(
        (hue - HueShift + 360) % 360, background.hslSaturation(), background.lightness(), 255);
    return shifted.toRgb().lighter(Lighten);
}

bool AddModuleItem::isChecked() const
{
    return button->isChecked();
}

void AddModuleItem::setChecked(bool checked)
{
    button->setChecked(checked);
}

void AddModuleItem::on_toolButton_toggled(bool checked)
{
    if (checked) {
        border->setStyleSheet(
            QStringLiteral("border: 1px solid palette(highlight); background-color: ")
            + base.lighter(Lighten).name() + QLatin1Char(';'));
    } else {
        border->setStyleSheet(QStringLiteral("background-color: ") + base.name());
    }
    emit selectChanged();
}

void AddModuleItem::sendDoubleClick()
{
    emit doubleClicked(moduleDescriptor);
    button->setChecked(false);
}
