#pragma once
// The main window's central widget: the painted background fills it, and the main view lies on
// top of the background.
//
// Thread: GUI thread. Owner: the main window (central widget).
#include <QWidget>

class MainBackground;
class MainView;

class MainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MainWidget(QWidget* parent = nullptr);

    MainView* view() const { return mainView; }
    MainBackground* background() const { return mainBackground; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    MainBackground* mainBackground = nullptr;
    MainView* mainView = nullptr;
};
