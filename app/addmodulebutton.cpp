#include "app/addmodulebutton.h"

#include <QMouseEvent>

void AddModuleButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QToolButton::mouseDoubleClickEvent(event);
        return;
    }
    // The base class would treat the double click as a second press and toggle the button.
    event->accept();
    emit doubleClicked();
}
