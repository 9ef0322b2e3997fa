#pragma once
// The big checkable button of an add-module tile. A left double click is reported on its own and
// does not toggle the button: it means "add this kind now", not "select it".
//
// Thread: GUI thread. Owner: its tile (AddModuleItem).
#include <QToolButton>

class AddModuleButton : public QToolButton
{
    Q_OBJECT
public:
    using QToolButton::QToolButton;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
