#include "platform/XRandRDisplayMode.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
Display* D(void* display) {
    return static_cast<Display*>(display);
}

// The primary output, or the first connected one with a CRTC.
RROutput PrimaryOutput(Display* dpy, Window root, XRRScreenResources* resources) {
    RROutput primary = XRRGetOutputPrimary(dpy, root);
    if (primary)
        return primary;
    for (int i = 0; i < resources->noutput; ++i) {
        XRROutputInfo* info = XRRGetOutputInfo(dpy, resources, resources->outputs[i]);
        const bool usable = info && info->connection == RR_Connected && info->crtc;
        if (info)
            XRRFreeOutputInfo(info);
        if (usable)
            return resources->outputs[i];
    }
    return 0;
}

RRMode FindMode(XRRScreenResources* resources, XRROutputInfo* output, int width, int height) {
    for (int i = 0; i < output->nmode; ++i)
        for (int j = 0; j < resources->nmode; ++j)
            if (resources->modes[j].id == output->modes[i] &&
                static_cast<int>(resources->modes[j].width) == width &&
                static_cast<int>(resources->modes[j].height) == height)
                return resources->modes[j].id;
    for (int j = 0; j < resources->nmode; ++j)
        if (static_cast<int>(resources->modes[j].width) == width &&
            static_cast<int>(resources->modes[j].height) == height)
            return resources->modes[j].id;
    return 0;
}

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

// The root window's size as the server has it now (the connection's cached
// screen size only changes when events are read).
void CurrentSize(Display* dpy, Window root, int* width, int* height) {
    XWindowAttributes attributes;
    XGetWindowAttributes(dpy, root, &attributes);
    *width = attributes.width;
    *height = attributes.height;
}
} // namespace

XRandRDisplayMode::~XRandRDisplayMode() {
    if (m_display)
        XCloseDisplay(D(m_display));
}

bool XRandRDisplayMode::Open() {
    if (m_display)
        return true;
    m_display = XOpenDisplay(nullptr);
    if (!m_display) {
        m_error = "no X display";
        return false;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(D(m_display), &event, &error) ||
        !XRRQueryVersion(D(m_display), &major, &minor) || (major == 1 && minor < 2)) {
        m_error = "RandR 1.2 is not available";
        XCloseDisplay(D(m_display));
        m_display = nullptr;
        return false;
    }
    return true;
}

bool XRandRDisplayMode::ScreenSize(int* width, int* height) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return false;
    CurrentSize(dpy, DefaultRootWindow(dpy), width, height);
    XCloseDisplay(dpy);
    return true;
}

bool XRandRDisplayMode::Change(int width, int height) {
    if (!Open())
        return false;
    Display* dpy = D(m_display);
    const Window root = DefaultRootWindow(dpy);
    XRRScreenResources* resources = XRRGetScreenResources(dpy, root);
    if (!resources) {
        m_error = "no screen resources";
        return false;
    }
    bool ok = false;
    const RROutput outputId = PrimaryOutput(dpy, root, resources);
    XRROutputInfo* output = outputId ? XRRGetOutputInfo(dpy, resources, outputId) : nullptr;
    XRRCrtcInfo* crtc =
        output && output->crtc ? XRRGetCrtcInfo(dpy, resources, output->crtc) : nullptr;
    if (!crtc) {
        m_error = "no active output";
    } else {
        RRMode mode = FindMode(resources, output, width, height);
        XErrorHandler previous = XSetErrorHandler(IgnoreErrors);
        if (!mode) {
            char name[32];
            std::snprintf(name, sizeof(name), "%dx%d", width, height);
            XRRModeInfo info;
            std::memset(&info, 0, sizeof(info));
            info.width = static_cast<unsigned>(width);
            info.height = static_cast<unsigned>(height);
            info.hTotal = static_cast<unsigned>(width) + 160;
            info.vTotal = static_cast<unsigned>(height) + 30;
            info.dotClock = static_cast<unsigned long>(info.hTotal) * info.vTotal * 60;
            info.hSyncStart = static_cast<unsigned>(width) + 48;
            info.hSyncEnd = static_cast<unsigned>(width) + 80;
            info.vSyncStart = static_cast<unsigned>(height) + 3;
            info.vSyncEnd = static_cast<unsigned>(height) + 7;
            info.name = name;
            info.nameLength = static_cast<unsigned>(std::strlen(name));
            mode = XRRCreateMode(dpy, root, &info);
        }
        if (mode) {
            XRRAddOutputMode(dpy, outputId, mode);
            int currentWidth = 0, currentHeight = 0;
            CurrentSize(dpy, root, &currentWidth, &currentHeight);
            if (!m_changed) {
                m_originalMode = crtc->mode;
                m_originalWidth = currentWidth;
                m_originalHeight = currentHeight;
                m_originalMmWidth = DisplayWidthMM(dpy, DefaultScreen(dpy));
                m_originalMmHeight = DisplayHeightMM(dpy, DefaultScreen(dpy));
            }
            const int mmWidth =
                m_originalWidth ? m_originalMmWidth * width / m_originalWidth : width;
            const int mmHeight =
                m_originalHeight ? m_originalMmHeight * height / m_originalHeight : height;
            // The screen must hold the CRTC at every step: grow it first, shrink it last.
            if (width > currentWidth || height > currentHeight)
                XRRSetScreenSize(dpy, root, std::max(width, currentWidth),
                                 std::max(height, currentHeight), mmWidth, mmHeight);
            const Status status =
                XRRSetCrtcConfig(dpy, resources, output->crtc, CurrentTime, 0, 0, mode,
                                 crtc->rotation, crtc->outputs, crtc->noutput);
            if (status == RRSetConfigSuccess) {
                XRRSetScreenSize(dpy, root, width, height, mmWidth, mmHeight);
                m_changed = true;
                ok = true;
            } else {
                m_error = "the output refused the mode";
            }
        } else {
            m_error = "the mode could not be made";
        }
        XSync(dpy, False);
        XSetErrorHandler(previous);
        int nowWidth = 0, nowHeight = 0;
        CurrentSize(dpy, root, &nowWidth, &nowHeight);
        ok = ok && nowWidth == width && nowHeight == height;
    }
    if (crtc)
        XRRFreeCrtcInfo(crtc);
    if (output)
        XRRFreeOutputInfo(output);
    XRRFreeScreenResources(resources);
    return ok;
}

bool XRandRDisplayMode::Restore() {
    if (!m_changed)
        return true;
    if (!Open())
        return false;
    Display* dpy = D(m_display);
    const Window root = DefaultRootWindow(dpy);
    XRRScreenResources* resources = XRRGetScreenResources(dpy, root);
    if (!resources)
        return false;
    bool ok = false;
    const RROutput outputId = PrimaryOutput(dpy, root, resources);
    XRROutputInfo* output = outputId ? XRRGetOutputInfo(dpy, resources, outputId) : nullptr;
    XRRCrtcInfo* crtc =
        output && output->crtc ? XRRGetCrtcInfo(dpy, resources, output->crtc) : nullptr;
    if (crtc) {
        XErrorHandler previous = XSetErrorHandler(IgnoreErrors);
        int currentWidth = 0, currentHeight = 0;
        CurrentSize(dpy, root, &currentWidth, &currentHeight);
        XRRSetScreenSize(dpy, root, std::max(m_originalWidth, currentWidth),
                         std::max(m_originalHeight, currentHeight), m_originalMmWidth,
                         m_originalMmHeight);
        ok = XRRSetCrtcConfig(dpy, resources, output->crtc, CurrentTime, crtc->x, crtc->y,
                              m_originalMode, crtc->rotation, crtc->outputs,
                              crtc->noutput) == RRSetConfigSuccess;
        XRRSetScreenSize(dpy, root, m_originalWidth, m_originalHeight, m_originalMmWidth,
                         m_originalMmHeight);
        XSync(dpy, False);
        XSetErrorHandler(previous);
        XRRFreeCrtcInfo(crtc);
    }
    if (output)
        XRRFreeOutputInfo(output);
    XRRFreeScreenResources(resources);
    if (ok)
        m_changed = false;
    return ok;
}
