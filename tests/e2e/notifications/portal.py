# A stand-in for the desktop's settings portal (org.freedesktop.portal.Desktop,
# interface org.freedesktop.portal.Settings) on the test's private session
# bus: color-scheme is the number in the file SCHEME; a change of the file is
# announced with SettingChanged. Ends by itself after three minutes.
import os, sys
from gi.repository import Gio, GLib

XML = """<node><interface name="org.freedesktop.portal.Settings">
<method name="Read"><arg type="s" direction="in"/><arg type="s" direction="in"/>
 <arg type="v" direction="out"/></method>
<method name="ReadOne"><arg type="s" direction="in"/><arg type="s" direction="in"/>
 <arg type="v" direction="out"/></method>
<signal name="SettingChanged"><arg type="s"/><arg type="s"/><arg type="v"/></signal>
<property name="version" type="u" access="read"/>
</interface></node>"""
PATH, NAME, IFACE = "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Desktop", \
    "org.freedesktop.portal.Settings"
scheme_file, ready = sys.argv[1], sys.argv[2]
state = {"bus": None, "scheme": None}


def scheme():
    with open(scheme_file) as f:
        return int(f.read().strip() or "0")


def on_call(bus, sender, path, interface, method, params, invocation):
    space, key = params.unpack()
    if (space, key) != ("org.freedesktop.appearance", "color-scheme"):
        invocation.return_dbus_error("org.freedesktop.portal.Error.NotFound", "no such setting")
        return
    value = GLib.Variant("u", scheme())
    # Read wraps the value once more, as the portal's first version did.
    invocation.return_value(GLib.Variant("(v)", (GLib.Variant("v", value) if method == "Read"
                                                 else value,)))


def poll():
    now = scheme()
    if state["bus"] and state["scheme"] is not None and now != state["scheme"]:
        state["bus"].emit_signal(None, PATH, IFACE, "SettingChanged",
                                 GLib.Variant("(ssv)", ("org.freedesktop.appearance",
                                                        "color-scheme", GLib.Variant("u", now))))
    state["scheme"] = now
    return True


def on_bus(bus, name):
    state["bus"] = bus
    bus.register_object(PATH, Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], on_call,
                        lambda *a: GLib.Variant("u", 2), None)


loop = GLib.MainLoop()
Gio.bus_own_name(Gio.BusType.SESSION, NAME, Gio.BusNameOwnerFlags.NONE, on_bus,
                 lambda bus, name: open(ready, "w").close(), lambda bus, name: loop.quit())
GLib.timeout_add(100, poll)
GLib.timeout_add_seconds(180, loop.quit)
loop.run()
