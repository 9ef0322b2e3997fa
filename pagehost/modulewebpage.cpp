#include "pagehost/modulewebpage.h"

#include "pagehost/logging.h"

#include <QDesktopServices>

ModuleWebPage::ModuleWebPage(QObject* parent, Role role)
    : QWebEnginePage(parent)
    , role(role)
{
}

bool ModuleWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool)
{
    if (role == Role::View && isOwnPage(url))
        return true;
    // A popup exists only because a page asked for a window, so its address is a link too.
    const bool followed = role == Role::Popup || type == NavigationTypeLinkClicked;
    if (followed && isUserLink(url)) {
        qCDebug(lcPageHost) << "Opening on the desktop:" << url.toDisplayString();
        QDesktopServices::openUrl(url);
    } else {
        qCDebug(lcPageHost) << "Navigation refused:" << url.toDisplayString();
    }
    if (role == Role::Popup)
        deleteLater();
    emit navigationRefused(url);
    return false;
}

QWebEnginePage* ModuleWebPage::createWindow(WebWindowType)
{
    // Parented to this page, so a popup that never navigates goes with the view.
    return new ModuleWebPage(this, Role::Popup);
}

bool ModuleWebPage::isOwnPage(const QUrl& url)
{
    return url.scheme() == QLatin1String("qrc");
}

bool ModuleWebPage::isUserLink(const QUrl& url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("mailto");
}
