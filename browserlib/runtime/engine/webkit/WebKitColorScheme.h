#pragma once

#include <gio/gio.h>

// The desktop's light or dark style as the settings portal says it
// (org.freedesktop.appearance color-scheme, the current GNOME way), followed
// as it changes: pages see it as prefers-color-scheme. Where no portal
// answers, the GTK theme alone decides, as before.
class WebKitColorScheme {
public:
    // Asks once (without waiting for the answer) and listens from then on.
    static void Follow();

    // Whether the session has a bus of its own: never one started for us
    // (an autolaunched bus would outlive the host).
    static bool SessionBusKnown();

    // The portal's value: 1 prefers dark, 2 prefers light, 0 (or anything
    // else) no preference.
    static void Apply(guint32 scheme);

    // The portal's answer to a read; `data` names the method that was asked.
    static void OnReadDone(GObject* source, GAsyncResult* result, gpointer data);

private:
    static void OnChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                          GVariant* parameters, gpointer);
};
