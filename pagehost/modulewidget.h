#pragma once
// The view of the selected module: a web view showing the module's pages, with the page bridge
// (HtmlComms) published on its web channel as "qtobj". It connects the bridge to the module it
// is given, loads the module's home page, tells every freshly loaded page the module's current
// state (ports_updated, sound_enabled, board_status, port_status, in this order), and recovers
// from a crashed render process by building a new web view on the same bridge.
//
// Painting is suspended from the start of a load until 50 ms after it finished, so a page shows
// only once its first scripts have run.
//
// Wiring by the application (the main view creates it):
//   widget->bridge()->setHost(mainWindow);                  // IPageHost
//   connect(manager, &ModuleManager::moduleSelected, view, ... widget->setModule(module));
//   connect(manager, &ModuleManager::moduleRemoved, widget, &ModuleWidget::onModuleRemoved);
//   connect(mainWindow, &MainWindow::closing, widget, &ModuleWidget::onExit);
//
// Thread: GUI thread. Owner: its parent widget (the main view); it owns the bridge (a
// std::unique_ptr, since the web channel must not own it) and the web view (a child).
#include "modules/modulebase.h"
#include "pagehost/htmlcomms.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

#include <memory>

class QGridLayout;

class ModuleWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int PaintDelayMs = 50;

    explicit ModuleWidget(QWidget* parent = nullptr);
    ~ModuleWidget() override;

    // Shows module's pages; an empty pointer hides the widget. The module shown before is cut
    // off from the bridge, so the pages' requests reach only the module they belong to.
    void setModule(ModuleBasePtr module);

    QString currentUrl() const { return currentUrlText; }
    HtmlComms* bridge() const { return comms.get(); }
    // The current web view: replaced after a render-process crash, null after onExit().
    QWebEngineView* webView() const { return view.data(); }

signals:
    void onloading();
    void onloaded(bool isHome, bool hasBck, bool hasForward);
    void setprop(QString prop, QString value);

public slots:
    void onLoadStarted();
    void onLoadFinished(bool ok);
    void onRenderProcessTerminated(
        QWebEnginePage::RenderProcessTerminationStatus terminationStatus, int exitCode);
    void onUrlChanged(const QUrl& url);
    void onRefreshTimeout();
    void onModuleRemoved(const ModuleBasePtr& modulePtr);
    void onExit();

private:
    void buildView();
    void retireView();
    void loadHomePage();
    void connectModule();
    void disconnectModule();
    bool isHomePage() const;
    void updatePage();

    QGridLayout* gridLayout;
    ModuleBasePtr module;
    std::unique_ptr<HtmlComms> comms;
    QPointer<QWebEngineView> view;
    QString currentUrlText;
    QTimer updateTimer;
};
