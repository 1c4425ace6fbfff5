#pragma once

#include <map>
#include <string>
#include <webkit2/webkit2.h>

// Pages' notifications on the desktop, through its notification service
// (org.freedesktop.Notifications on the session bus), with the application's
// name and icon. A click on one tells the page and brings its window forward.
class WebKitNotifier {
public:
    static WebKitNotifier& Get();

    // false: no service answers; the engine's own way is left to try.
    bool Show(WebKitNotification* notification, GtkWidget* view, const std::string& appName,
              const std::string& iconPath);

private:
    struct Shown {
        WebKitNotification* notification = nullptr; // a reference of ours
        GtkWidget* view = nullptr;                  // weak: gone when the view is
    };

    GDBusConnection* Bus();
    void Forget(guint32 id);
    static void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                         GVariant*, gpointer);
    static void OnPageClosed(WebKitNotification*, gpointer);

    GDBusConnection* m_bus = nullptr;
    bool m_busTried = false;
    std::map<guint32, Shown> m_shown; // by the service's id
};
