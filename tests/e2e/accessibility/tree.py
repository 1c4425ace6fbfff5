# The accessibility tree of the application whose window is titled TITLE, as a
# screen reader reads it over AT-SPI: one line per object of the page worth a
# user's attention ("heading Window", "push button Alert", ...), the states of
# the window and the page, then "focused <role> <name>" for what has the
# keyboard focus. Waits up to 30 s for the page.
import sys, time
import pyatspi

title = sys.argv[1]
WANTED = {pyatspi.ROLE_HEADING: "heading", pyatspi.ROLE_PUSH_BUTTON: "push button",
          pyatspi.ROLE_LINK: "link", pyatspi.ROLE_ENTRY: "entry",
          pyatspi.ROLE_DOCUMENT_WEB: "document web"}


def walk(node, depth, out, focused):
    if node is None or depth > 60:
        return
    try:
        role, name = node.getRole(), node.name or ""
        states = node.getState()
    except Exception:
        return
    if role in WANTED:
        out.append("%s %s" % (WANTED[role], name.strip()))
    if role in (pyatspi.ROLE_DOCUMENT_WEB, pyatspi.ROLE_FRAME):
        out.append("states %s: %s" % (pyatspi.Accessible.getRoleName(node), " ".join(
            sorted(pyatspi.stateToString(s) for s in states.getStates()))))
    if states.contains(pyatspi.STATE_FOCUSED):
        focused.append("%s %s" % (pyatspi.Accessible.getRoleName(node), name.strip()))
    for i in range(node.childCount):
        try:
            walk(node.getChildAtIndex(i), depth + 1, out, focused)
        except Exception:
            pass


deadline = time.time() + 30
while True:
    out, focused = [], []
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is not None and (window.name or "") == title:
                walk(window, 0, out, focused)
    if any(line.startswith("document web") for line in out) and len(out) > 3:
        break
    if time.time() > deadline:
        break
    time.sleep(0.5)
for line in out:
    print(line)
for role in focused:
    print("focused " + role)
