#include "platform/X11WindowManager.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {
// The window a property of the root window names, or None.
Window WindowProperty(Display* dpy, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window result = None;
    if (XGetWindowProperty(dpy, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count,
                           &after, &data) == Success &&
        data && type == XA_WINDOW && format == 32 && count == 1)
        result = *reinterpret_cast<Window*>(data);
    if (data)
        XFree(data);
    return result;
}

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}
} // namespace

bool X11WindowManager::SupportsFullScreenState() {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return false;
    XErrorHandler previous = XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(dpy);
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    // A window manager that died leaves its check window's id behind: the
    // window itself must still name itself.
    const Window wm = WindowProperty(dpy, root, check);
    bool supported = wm != None && WindowProperty(dpy, wm, check) == wm;
    if (supported) {
        supported = false;
        const Atom fullscreen = XInternAtom(dpy, "_NET_WM_STATE_FULLSCREEN", False);
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, root, XInternAtom(dpy, "_NET_SUPPORTED", False), 0, 4096, False,
                               XA_ATOM, &type, &format, &count, &after, &data) == Success &&
            data && type == XA_ATOM && format == 32) {
            const Atom* atoms = reinterpret_cast<const Atom*>(data);
            for (unsigned long i = 0; i < count && !supported; ++i)
                supported = atoms[i] == fullscreen;
        }
        if (data)
            XFree(data);
    }
    XSync(dpy, False);
    XSetErrorHandler(previous);
    XCloseDisplay(dpy);
    return supported;
}
