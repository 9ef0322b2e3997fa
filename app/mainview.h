#pragma once
// The view in front of the background: it holds the one module web view and hands it the module
// the module manager selects.
//
// Thread: GUI thread. Owner: its parent, the main window's central widget.
#include "modules/modulebase.h"

#include <QWidget>

class ModuleWidget;

class MainView : public QWidget
{
    Q_OBJECT
public:
    explicit MainView(QWidget* parent = nullptr);

    ModuleWidget* moduleWidget() const { return moduleView; }

public slots:
    void onModuleSelected(ModuleBasePtr modulePtr);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    ModuleWidget* moduleView = nullptr;
};
