#include "browserlib/runtime/engine/webkit/WebKitNotifier.h"

#include "browserlib/runtime/engine/webkit/WebKitColorScheme.h"

#include <wx/log.h>

namespace {
const char* const kName = "org.freedesktop.Notifications";
const char* const kPath = "/org/freedesktop/Notifications";
} // namespace

WebKitNotifier& WebKitNotifier::Get() {
    static auto* notifier = new WebKitNotifier; // the bus outlives every view
    return *notifier;
}

GDBusConnection* WebKitNotifier::Bus() {
    if (m_busTried)
        return m_bus;
    m_busTried = true;
    if (!WebKitColorScheme::SessionBusKnown()) {
        wxLogMessage("WebKitNotifier: no session bus: notifications are the engine's");
        return nullptr;
    }
    GError* error = nullptr;
    m_bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!m_bus) {
        wxLogMessage("WebKitNotifier: no session bus (%s): notifications are the engine's",
                     error ? error->message : "?");
        g_clear_error(&error);
        return nullptr;
    }
    g_dbus_connection_signal_subscribe(m_bus, nullptr, kName, nullptr, kPath, nullptr,
                                       G_DBUS_SIGNAL_FLAGS_NONE, OnSignal, this, nullptr);
    return m_bus;
}

bool WebKitNotifier::Show(WebKitNotification* notification, GtkWidget* view,
                          const std::string& appName, const std::string& iconPath) {
    GDBusConnection* bus = Bus();
    if (!bus)
        return false;
    GVariantBuilder actions;
    g_variant_builder_init(&actions, G_VARIANT_TYPE("as"));
    // "default": a click on the notification itself.
    g_variant_builder_add(&actions, "s", "default");
    g_variant_builder_add(&actions, "s", appName.empty() ? "Open" : appName.c_str());
    GVariantBuilder hints;
    g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
    if (!iconPath.empty())
        g_variant_builder_add(&hints, "{sv}", "image-path", g_variant_new_string(iconPath.c_str()));
    const char* title = webkit_notification_get_title(notification);
    const char* body = webkit_notification_get_body(notification);
    GError* error = nullptr;
    // Answered at once by every service; the id is needed before a click can come.
    GVariant* reply = g_dbus_connection_call_sync(
        bus, kName, kPath, kName, "Notify",
        g_variant_new("(susssasa{sv}i)", appName.c_str(), 0u, iconPath.c_str(), title ? title : "",
                      body ? body : "", &actions, &hints, -1),
        G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 3000, nullptr, &error);
    if (!reply) {
        wxLogMessage("WebKitNotifier: the desktop's notification service did not take it (%s)",
                     error ? error->message : "?");
        g_clear_error(&error);
        return false;
    }
    guint32 id = 0;
    g_variant_get(reply, "(u)", &id);
    g_variant_unref(reply);
    Shown& shown = m_shown[id];
    shown.notification = WEBKIT_NOTIFICATION(g_object_ref(notification));
    shown.view = view;
    g_object_add_weak_pointer(G_OBJECT(view), reinterpret_cast<gpointer*>(&shown.view));
    g_signal_connect(notification, "closed", G_CALLBACK(OnPageClosed), this);
    wxLogMessage("WebKitNotifier: notification %u \"%s\" shown for %s", id, title ? title : "",
                 appName.c_str());
    return true;
}

void WebKitNotifier::Forget(guint32 id) {
    auto it = m_shown.find(id);
    if (it == m_shown.end())
        return;
    if (it->second.view)
        g_object_remove_weak_pointer(G_OBJECT(it->second.view),
                                     reinterpret_cast<gpointer*>(&it->second.view));
    WebKitNotification* notification = it->second.notification;
    m_shown.erase(it);
    g_signal_handlers_disconnect_by_data(notification, this);
    g_object_unref(notification);
}

void WebKitNotifier::OnPageClosed(WebKitNotification* notification, gpointer data) {
    auto* self = static_cast<WebKitNotifier*>(data);
    for (const auto& [id, shown] : self->m_shown)
        if (shown.notification == notification) {
            const guint32 gone = id;
            if (self->m_bus)
                g_dbus_connection_call(self->m_bus, kName, kPath, kName, "CloseNotification",
                                       g_variant_new("(u)", gone), nullptr, G_DBUS_CALL_FLAGS_NONE,
                                       -1, nullptr, nullptr, nullptr);
            self->Forget(gone);
            return;
        }
}

void WebKitNotifier::OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                              const gchar* member, GVariant* parameters, gpointer data) {
    auto* self = static_cast<WebKitNotifier*>(data);
    if (g_strcmp0(member, "ActionInvoked") == 0 &&
        g_variant_is_of_type(parameters, G_VARIANT_TYPE("(us)"))) {
        guint32 id = 0;
        const gchar* action = nullptr;
        g_variant_get(parameters, "(u&s)", &id, &action);
        auto it = self->m_shown.find(id);
        if (it == self->m_shown.end())
            return;
        wxLogMessage("WebKitNotifier: notification %u clicked (%s): the page is told, its window "
                     "comes forward",
                     id, action);
        webkit_notification_clicked(it->second.notification);
        if (GtkWidget* view = it->second.view) {
            GtkWidget* top = gtk_widget_get_toplevel(view);
            if (GTK_IS_WINDOW(top))
                gtk_window_present(GTK_WINDOW(top));
        }
    } else if (g_strcmp0(member, "NotificationClosed") == 0 &&
               g_variant_is_of_type(parameters, G_VARIANT_TYPE("(uu)"))) {
        guint32 id = 0, reason = 0;
        g_variant_get(parameters, "(uu)", &id, &reason);
        auto it = self->m_shown.find(id);
        if (it == self->m_shown.end())
            return;
        WebKitNotification* notification =
            WEBKIT_NOTIFICATION(g_object_ref(it->second.notification));
        self->Forget(id);
        webkit_notification_close(notification); // the page hears "close"
        g_object_unref(notification);
    }
}
