#pragma once
// Lets the user pick one or more kinds of module and adds one module of each. Every module
// descriptor is a tile; tiles toggle on click, a double click adds that one kind at once. The
// tiles are rebuilt each time the dialog is shown, so it always lists the current descriptors
// with nothing checked.
//
// Thread: GUI thread. Owner: the main window (Qt parent); closing only hides it.
#include "modules/moduledescriptor.h"

#include <QWidget>

#include <memory>

class QHBoxLayout;
class QPushButton;
class QScrollArea;
class AddModuleItem;

class AddModuleDialog : public QWidget
{
    Q_OBJECT
public:
    explicit AddModuleDialog(QWidget* parent = nullptr);

    QList<AddModuleItem*> tiles() const;

signals:
    void addModule(std::shared_ptr<ModuleDescriptor> moduleDescriptor);

public slots:
    void onModuleSelected();
    void onModuleDblClicked(std::shared_ptr<ModuleDescriptor> moduleDescriptor);
    void on_pushButton_AddModule_clicked();
    void on_pushButton_Cancel_clicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setupUi();
    QWidget* setupModuleTypeRow();
    QWidget* setupButtonBar();
    void buildTiles();
    void clearTiles();

    QScrollArea* scrollArea = nullptr;
    QWidget* moduleGroup = nullptr;
    QHBoxLayout* tileLayout = nullptr;
    QPushButton* addButton = nullptr;
};
