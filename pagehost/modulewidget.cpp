#include "pagehost/modulewidget.h"

#include "pagehost/logging.h"
#include "pagehost/modulewebpage.h"

#include <QGridLayout>
#include <QMetaEnum>
#include <QWebChannel>
#include <QWebEngineHistory>
#include <QWebEngineSettings>

ModuleWidget::ModuleWidget(QWidget* parent)
    : QWidget(parent)
    , gridLayout(new QGridLayout(this))
    , comms(std::make_unique<HtmlComms>())
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("ModuleWidget"));
    resize(587, 411);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setSpacing(0);
    setWindowTitle(QStringLiteral("Form"));
    hide();

    connect(this, &ModuleWidget::setprop, comms.get(), &HtmlComms::on_setproperty);
    buildView();
    updateTimer.setSingleShot(true);
    connect(&updateTimer, &QTimer::timeout, this, &ModuleWidget::onRefreshTimeout);
}

ModuleWidget::~ModuleWidget()
{
    // The view and its channel go first, while the bridge they publish still exists.
    delete view;
}

void ModuleWidget::setModule(ModuleBasePtr newModule)
{
    // The bridge serves one module: the previous one must stop receiving the page's requests.
    if (module && module != newModule)
        disconnectModule();
    module = std::move(newModule);
    if (!module) {
        hide();
        return;
    }
    connectModule();
    loadHomePage();
}

void ModuleWidget::onLoadStarted()
{
    setUpdatesEnabled(false);
    emit onloading();
}

void ModuleWidget::onLoadFinished(bool)
{
    // A page that failed to load is treated like a loaded one.
    if (!module || !view)
        return;
    show();
    const QWebEngineHistory* history = view->history();
    emit onloaded(isHomePage(), history->canGoBack(), history->canGoForward());
    updatePage();
    updateTimer.start(PaintDelayMs);
}

void ModuleWidget::onRenderProcessTerminated(
    QWebEnginePage::RenderProcessTerminationStatus terminationStatus, int exitCode)
{
    const QMetaEnum status = QMetaEnum::fromType<QWebEnginePage::RenderProcessTerminationStatus>();
    qCDebug(lcPageHost).noquote() << "Render process was terminated:"
                                  << status.valueToKey(terminationStatus)
                                  << QStringLiteral("%1/0x%2").arg(exitCode).arg(
                                         static_cast<uint>(exitCode), 0, 16);
    retireView();
    buildView();
    loadHomePage();
}

void ModuleWidget::onUrlChanged(const QUrl& url)
{
    currentUrlText = url.toDisplayString();
}

void ModuleWidget::onRefreshTimeout()
{
    setUpdatesEnabled(true);
}

void ModuleWidget::onModuleRemoved(const ModuleBasePtr& modulePtr)
{
    if (!module || modulePtr != module)
        return;
    disconnectModule();
    module.reset();
    hide();
}

void ModuleWidget::onExit()
{
    retireView();
}

void ModuleWidget::buildView()
{
    view = new QWebEngineView(this);
    auto* page = new ModuleWebPage(view);
    // Pages play their alarm sounds without waiting for a click.
    page->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    view->setPage(page);
    gridLayout->addWidget(view, 0, 0);
    page->setBackgroundColor(QColor(170, 170, 170));

    auto* channel = new QWebChannel(view);
    channel->registerObject(QStringLiteral("qtobj"), comms.get());
    page->setWebChannel(channel);

    connect(view, &QWebEngineView::loadStarted, this, &ModuleWidget::onLoadStarted);
    connect(view, &QWebEngineView::loadFinished, this, &ModuleWidget::onLoadFinished);
    connect(view, &QWebEngineView::urlChanged, this, &ModuleWidget::onUrlChanged);
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
        &ModuleWidget::onRenderProcessTerminated);
}

void ModuleWidget::retireView()
{
    if (!view)
        return;
    gridLayout->removeWidget(view);
    // A view on its way out must not rebuild or announce anything any more. It is deleted
    // later: this may run inside one of its own signals.
    view->disconnect(this);
    view->page()->disconnect(this);
    view->deleteLater();
    view = nullptr;
}

void ModuleWidget::loadHomePage()
{
    if (view && module && module->descriptor())
        view->load(QUrl(module->descriptor()->homepage));
}

void ModuleWidget::connectModule()
{
    ModuleBase* source = module.get();
    HtmlComms* target = comms.get();
    // Selecting the same module again must not double any connection.
    const auto once = Qt::UniqueConnection;
    connect(source, &ModuleBase::readrecvd, target, &HtmlComms::on_readrecvd, once);
    connect(source, &ModuleBase::datarecvd, target, &HtmlComms::on_datarecvd, once);
    connect(source, &ModuleBase::boardStatusUpdated, target, &HtmlComms::on_boardStatus, once);
    connect(source, &ModuleBase::portStatus, target, &HtmlComms::on_portStatus, once);
    connect(source, &ModuleBase::portsUpdated, target, &HtmlComms::on_portsUpdated, once);
    connect(source, &ModuleBase::showInfoMsg, target, &HtmlComms::onShowInfoMsg, once);
    connect(source, &ClientDevice::setProperty, target, &HtmlComms::onSetProperty, once);
    connect(target, &HtmlComms::execcmd, source, &ModuleBase::on_execcmd, once);
    connect(target, &HtmlComms::flushcmd, source, &ModuleBase::on_flushcmd, once);
    // Direct, since the module's answer is the page's result.
    connect(target, &HtmlComms::setting_requested, source, &ModuleBase::onSettingRequested,
        Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
    connect(target, &HtmlComms::setting_updated, source, &ModuleBase::onSettingUpdated, once);
    connect(target, &HtmlComms::startDataRefresh, source, &ModuleBase::onStartDataRefresh, once);
    connect(target, &HtmlComms::stopDataRefresh, source, &ModuleBase::onStopDataRefresh, once);
    connect(target, &HtmlComms::portSelected, source, &ModuleBase::onSetSerialPort, once);
    connect(target, &HtmlComms::portBaudRate, source, &ModuleBase::onSetBaudRate, once);
    connect(target, &HtmlComms::screenUpdated, source, &ModuleBase::onScreenSet, once);
}

void ModuleWidget::disconnectModule()
{
    disconnect(module.get(), nullptr, comms.get(), nullptr);
    disconnect(comms.get(), nullptr, module.get(), nullptr);
}

bool ModuleWidget::isHomePage() const
{
    // No first history entry (an empty URL) also counts as home.
    const QUrl first = view->history()->itemAt(0).url();
    return first.isEmpty() || view->url() == first;
}

void ModuleWidget::updatePage()
{
    const QString selectedPort = QString::fromStdString(module->selectedPort());
    emit module->portsUpdated(module->ports(), selectedPort, module->selectedBaudRate());
    comms->announceSoundSetting();
    comms->on_boardStatus(module->currentBoardStatus());
    comms->on_portStatus(module->currentPortStatus(), selectedPort);
}
