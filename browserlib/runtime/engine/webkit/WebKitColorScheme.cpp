#include "browserlib/runtime/engine/webkit/WebKitColorScheme.h"

#include <gtk/gtk.h>
#include <wx/log.h>

namespace {
const char* const kPortal = "org.freedesktop.portal.Desktop";
const char* const kPath = "/org/freedesktop/portal/desktop";
const char* const kSettings = "org.freedesktop.portal.Settings";

// Read answers a variant in a variant; ReadOne the value itself.
bool SchemeOf(GVariant* value, guint32* scheme) {
    while (value && g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
        GVariant* inner = g_variant_get_variant(value);
        g_variant_unref(value);
        value = inner;
    }
    const bool known = value && g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32);
    if (known)
        *scheme = g_variant_get_uint32(value);
    if (value)
        g_variant_unref(value);
    return known;
}

void ReadScheme(GDBusConnection* bus, const char* method) {
    g_dbus_connection_call(
        bus, kPortal, kPath, kSettings, method,
        g_variant_new("(ss)", "org.freedesktop.appearance", "color-scheme"), G_VARIANT_TYPE("(v)"),
        G_DBUS_CALL_FLAGS_NONE, 5000, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            WebKitColorScheme::OnReadDone(source, result, data);
        },
        const_cast<char*>(method));
}
} // namespace

bool WebKitColorScheme::SessionBusKnown() {
    if (g_getenv("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const gchar* runtime = g_getenv("XDG_RUNTIME_DIR");
    if (!runtime)
        return false;
    gchar* socket = g_build_filename(runtime, "bus", nullptr);
    const bool present = g_file_test(socket, G_FILE_TEST_EXISTS);
    g_free(socket);
    return present;
}

void WebKitColorScheme::Follow() {
    if (!SessionBusKnown())
        return; // the GTK theme decides
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return; // no session bus: the GTK theme decides
    g_dbus_connection_signal_subscribe(bus, kPortal, kSettings, "SettingChanged", kPath,
                                       "org.freedesktop.appearance", G_DBUS_SIGNAL_FLAGS_NONE,
                                       OnChanged, nullptr, nullptr);
    ReadScheme(bus, "ReadOne");
}

void WebKitColorScheme::OnReadDone(GObject* source, GAsyncResult* result, gpointer data) {
    const char* method = static_cast<const char*>(data);
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
    if (!reply) {
        // An older portal knows Read alone; none at all leaves the GTK theme.
        if (g_strcmp0(method, "ReadOne") == 0 &&
            g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD))
            ReadScheme(G_DBUS_CONNECTION(source), "Read");
        g_clear_error(&error);
        return;
    }
    GVariant* value = nullptr;
    g_variant_get(reply, "(v)", &value);
    g_variant_unref(reply);
    guint32 scheme = 0;
    if (SchemeOf(value, &scheme))
        Apply(scheme);
}

void WebKitColorScheme::OnChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                  const gchar*, GVariant* parameters, gpointer) {
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ssv)")))
        return;
    const gchar* space = nullptr;
    const gchar* key = nullptr;
    GVariant* value = nullptr;
    g_variant_get(parameters, "(&s&sv)", &space, &key, &value);
    guint32 scheme = 0;
    const bool ours =
        g_strcmp0(space, "org.freedesktop.appearance") == 0 && g_strcmp0(key, "color-scheme") == 0;
    if (ours && SchemeOf(value, &scheme))
        Apply(scheme);
    else if (value)
        g_variant_unref(value);
}

void WebKitColorScheme::Apply(guint32 scheme) {
    GtkSettings* settings = gtk_settings_get_default();
    if (!settings)
        return;
    const gboolean dark = scheme == 1;
    wxLogMessage("WebKitColorScheme: the desktop's style is %s", scheme == 1 ? "dark"
                                                                 : scheme == 2
                                                                     ? "light"
                                                                     : "without a preference");
    g_object_set(settings, "gtk-application-prefer-dark-theme", dark, nullptr);
}
