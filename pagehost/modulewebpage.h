#pragma once
// The page of a module web view. The bridge it carries gives pages file access and the unit's
// console, so only the program's own pages (the "qrc:" scheme) may ever load in it. Any other
// address is refused; a link meant for the user (http, https, mailto) that the user follows, or
// that a page opens in a new window, goes to the desktop's browser or mail program instead.
//
// A page asking for a new window gets a short-lived popup page of this class: it never loads
// anything, hands its first address to the desktop if it is such a link, and deletes itself.
//
// Thread: GUI thread. Owner: the web view (QObject parent); a popup page is a child of the page
// that asked for it and deletes itself after its first navigation.
#include <QWebEnginePage>

class ModuleWebPage : public QWebEnginePage
{
    Q_OBJECT
public:
    enum class Role { View, Popup };

    explicit ModuleWebPage(QObject* parent = nullptr, Role role = Role::View);

signals:
    // An address that was not loaded (also for links handed to the desktop).
    void navigationRefused(QUrl url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    static bool isOwnPage(const QUrl& url);
    static bool isUserLink(const QUrl& url);

    Role role;
};
