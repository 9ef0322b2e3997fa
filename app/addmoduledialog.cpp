#include "app/addmoduledialog.h"

#include "app/addmoduleitem.h"
#include "modules/modulemanager.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int BarHeight = 32;

QSpacerItem* horizontalSpacer()
{
    return new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}
} // namespace

AddModuleDialog::AddModuleDialog(QWidget* parent)
    : QWidget(parent)
{
    setupUi();
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(tr("Add Module(s)"));
    setWindowModality(Qt::ApplicationModal);
    buildTiles();
    addButton->setEnabled(false);
    QMetaObject::connectSlotsByName(this);
}

void AddModuleDialog::setupUi()
{
    setObjectName(QStringLiteral("AddModuleDialog"));
    resize(470, 223);
    setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(this);
    layout->setObjectName(QStringLiteral("verticalLayout_2"));
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tabWidget = new QTabWidget(this);
    tabWidget->setObjectName(QStringLiteral("tabWidget"));
    tabWidget->setUsesScrollButtons(false);
    tabWidget->setTabBarAutoHide(true);
    auto* tab = new QWidget();
    tab->setObjectName(QStringLiteral("tab"));
    auto* tabLayout = new QVBoxLayout(tab);
    tabLayout->setObjectName(QStringLiteral("verticalLayout_3"));
    tabLayout->setContentsMargins(9, 9, 9, 9);
    tabLayout->addWidget(setupModuleTypeRow());
    scrollArea = new QScrollArea(tab);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    scrollArea->setMinimumSize(0, 0);
    scrollArea->setAutoFillBackground(true);
    scrollArea->setWidgetResizable(true);
    moduleGroup = new QWidget();
    moduleGroup->setObjectName(QStringLiteral("moduleGroup"));
    moduleGroup->setGeometry(0, 0, 444, 121);
    moduleGroup->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    tileLayout = new QHBoxLayout(moduleGroup);
    tileLayout->setObjectName(QStringLiteral("horizontalLayout_2"));
    scrollArea->setWidget(moduleGroup);
    tabLayout->addWidget(scrollArea);
    tabLayout->addWidget(setupButtonBar());
    tabWidget->addTab(tab, tr("Page"));
    layout->addWidget(tabWidget);
}

QWidget* AddModuleDialog::setupModuleTypeRow()
{
    auto* row = new QWidget();
    row->setObjectName(QStringLiteral("moduleTypeRow"));
    row->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    row->setFixedHeight(BarHeight);
    auto* layout = new QHBoxLayout(row);
    layout->setObjectName(QStringLiteral("horizontalLayout_6"));
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(tr("Select module(s) to add:"), row);
    label->setObjectName(QStringLiteral("moduleLabel"));
    layout->addWidget(label);
    layout->addItem(horizontalSpacer());
    return row;
}

QWidget* AddModuleDialog::setupButtonBar()
{
    auto* bar = new QWidget();
    bar->setObjectName(QStringLiteral("buttonBar"));
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    bar->setFixedHeight(BarHeight);
    auto* layout = new QHBoxLayout(bar);
    layout->setObjectName(QStringLiteral("horizontalLayout_9"));
    layout->setContentsMargins(0, 2, 0, 2);
    layout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    layout->addItem(horizontalSpacer());
    addButton = new QPushButton(tr("Add"), bar);
    addButton->setObjectName(QStringLiteral("pushButton_AddModule"));
    layout->addWidget(addButton);
    auto* cancelButton = new QPushButton(tr("Cancel"), bar);
    cancelButton->setObjectName(QStringLiteral("pushButton_Cancel"));
    layout->addWidget(cancelButton);
    return bar;
}

void AddModuleDialog::buildTiles()
{
    clearTiles();
    for (const auto& descriptor : ModuleManager::instance()->descriptors()) {
        auto* tile = new AddModuleItem(descriptor, moduleGroup);
        connect(tile, &AddModuleItem::selectChanged, this, &AddModuleDialog::onModuleSelected);
        connect(tile, &AddModuleItem::doubleClicked, this, &AddModuleDialog::onModuleDblClicked);
        tileLayout->addWidget(tile);
    }
    // Keeps the tiles at the left edge however wide the dialog is.
    tileLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Fixed));
}

void AddModuleDialog::clearTiles()
{
    while (QLayoutItem* item = tileLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

QList<AddModuleItem*> AddModuleDialog::tiles() const
{
    QList<AddModuleItem*> result;
    for (int i = 0; i < tileLayout->count(); ++i) {
        if (auto* tile = qobject_cast<AddModuleItem*>(tileLayout->itemAt(i)->widget()))
            result << tile;
    }
    return result;
}

void AddModuleDialog::showEvent(QShowEvent* event)
{
    buildTiles();
    // Switching the policy off and on makes the area measure its new content again.
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    for (AddModuleItem* tile : tiles())
        tile->setChecked(false);
    // Nothing is checked now, so nothing may be added until the user picks again.
    onModuleSelected();
    QWidget::showEvent(event);
}

void AddModuleDialog::onModuleSelected()
{
    const auto all = moduleGroup->findChildren<AddModuleItem*>();
    addButton->setEnabled(
        std::any_of(all.begin(), all.end(), [](AddModuleItem* tile) { return tile->isChecked(); }));
}

void AddModuleDialog::onModuleDblClicked(std::shared_ptr<ModuleDescriptor> moduleDescriptor)
{
    emit addModule(moduleDescriptor);
    close();
}

void AddModuleDialog::on_pushButton_AddModule_clicked()
{
    for (AddModuleItem* tile : tiles()) {
        if (tile->isChecked())
            emit addModule(tile->descriptor());
    }
    close();
}

void AddModuleDialog::on_pushButton_Cancel_clicked()
{
    close();
}
