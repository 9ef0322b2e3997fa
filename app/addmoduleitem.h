#pragma once
// One tile of the add-module dialog: a square checkable button with a module kind's picture and
// name on a border whose colour is a shifted, lighter tint of the dialog's background, and
// lighter again with a highlight border while the tile is checked.
//
// Thread: GUI thread. Owner: the dialog's module group (Qt parent).
#include "modules/moduledescriptor.h"

#include <QColor>
#include <QWidget>

#include <memory>

class AddModuleButton;

class AddModuleItem : public QWidget
{
    Q_OBJECT
public:
    AddModuleItem(std::shared_ptr<ModuleDescriptor> descriptor, QWidget* parent = nullptr);

    const std::shared_ptr<ModuleDescriptor>& descriptor() const { return moduleDescriptor; }
    bool isChecked() const;
    void setChecked(bool checked);
    QColor baseColour() const { return base; }
    // The tile colour for a background colour: hue turned back by 15 degrees, lightened.
    static QColor baseColourFor(const QColor& background);

signals:
    void selectChanged();
    void doubleClicked(std::shared_ptr<ModuleDescriptor> descriptorPtr);

public slots:
    void on_toolButton_toggled(bool checked);
    void sendDoubleClick();

private:
    void setupUi();

    std::shared_ptr<ModuleDescriptor> moduleDescriptor;
    QWidget* border = nullptr;
    AddModuleButton* button = nullptr;
    QColor base;
};
