#include "app/mainview.h"

#include "modules/modulemanager.h"
#include "pagehost/modulewidget.h"

#include <QGridLayout>
#include <QResizeEvent>

MainView::MainView(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    moduleView = new ModuleWidget(this);
    layout->addWidget(moduleView);
    const auto manager = ModuleManager::instance();
    connect(manager.get(), &ModuleManager::moduleSelected, this, &MainView::onModuleSelected);
    connect(
        manager.get(), &ModuleManager::moduleRemoved, moduleView, &ModuleWidget::onModuleRemoved);
}

void MainView::onModuleSelected(ModuleBasePtr modulePtr)
{
    moduleView->setModule(std::move(modulePtr));
}

void MainView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    moduleView->resize(event->size());
}
