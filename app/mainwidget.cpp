#include "app/mainwidget.h"

#include "app/mainbackground.h"
#include "app/mainview.h"

#include <QResizeEvent>
#include <QVBoxLayout>

MainWidget::MainWidget(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("centralWidget"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    // Outside the layout, created first: it stays behind the view and covers the whole widget.
    mainBackground = new MainBackground(this);
    mainView = new MainView(this);
    layout->addWidget(mainView);
}

void MainWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    mainBackground->setGeometry(QRect(QPoint(0, 0), event->size()));
}
