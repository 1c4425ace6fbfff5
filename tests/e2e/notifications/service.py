# A stand-in for the desktop's notification service (org.freedesktop.Notifications)
# on the test's private session bus: each Notify and CloseNotification becomes
# a JSON line in RECORD; when the file CLICK appears, the last notification is
# clicked (ActionInvoked "default"). Ends by itself after three minutes.
import json, os, sys
from gi.repository import Gio, GLib

XML = """<node><interface name="org.freedesktop.Notifications">
<method name="Notify"><arg type="s" direction="in"/><arg type="u" direction="in"/>
 <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="in"/>
 <arg type="as" direction="in"/><arg type="a{sv}" direction="in"/><arg type="i" direction="in"/>
 <arg type="u" direction="out"/></method>
<method name="CloseNotification"><arg type="u" direction="in"/></method>
<method name="GetCapabilities"><arg type="as" direction="out"/></method>
<method name="GetServerInformation"><arg type="s" direction="out"/><arg type="s" direction="out"/>
 <arg type="s" direction="out"/><arg type="s" direction="out"/></method>
<signal name="ActionInvoked"><arg type="u"/><arg type="s"/></signal>
<signal name="NotificationClosed"><arg type="u"/><arg type="u"/></signal>
</interface></node>"""
PATH, NAME = "/org/freedesktop/Notifications", "org.freedesktop.Notifications"
record, click = sys.argv[1], sys.argv[2]
state = {"next": 1, "last": 0, "bus": None}


def write(entry):
    with open(record, "a") as f:
        f.write(json.dumps(entry) + "\n")


def on_call(bus, sender, path, interface, method, params, invocation):
    if method == "Notify":
        app, _replaces, icon, summary, body, actions, hints, _timeout = params.unpack()
        nid = state["next"]
        state["next"] += 1
        state["last"] = nid
        write({"id": nid, "app": app, "icon": icon, "summary": summary, "body": body,
               "actions": actions, "hints": {k: str(v) for k, v in hints.items()}})
        invocation.return_value(GLib.Variant("(u)", (nid,)))
    elif method == "CloseNotification":
        write({"closed": params.unpack()[0]})
        invocation.return_value(None)
    elif method == "GetCapabilities":
        invocation.return_value(GLib.Variant("(as)", (["actions", "body"],)))
    else:
        invocation.return_value(GLib.Variant("(ssss)", ("stand-in", "velta", "1", "1.2")))


def poll():
    if state["last"] and os.path.exists(click):
        os.remove(click)
        state["bus"].emit_signal(None, PATH, NAME, "ActionInvoked",
                                 GLib.Variant("(us)", (state["last"], "default")))
    return True


def on_bus(bus, name):
    state["bus"] = bus
    bus.register_object(PATH, Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], on_call, None, None)


loop = GLib.MainLoop()
Gio.bus_own_name(Gio.BusType.SESSION, NAME, Gio.BusNameOwnerFlags.NONE, on_bus,
                 lambda bus, name: open(record + ".ready", "w").close(), lambda bus, name: loop.quit())
GLib.timeout_add(100, poll)
GLib.timeout_add_seconds(180, loop.quit)
loop.run()
