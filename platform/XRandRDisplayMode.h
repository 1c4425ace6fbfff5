#pragma once

#include <string>

// Display resolution changes through the X server's RandR 1.2 interface, on
// the primary output, over a connection of our own. Only the resolution
// changes; the original mode is kept so it can be restored.
class XRandRDisplayMode {
public:
    XRandRDisplayMode() = default;
    ~XRandRDisplayMode();
    XRandRDisplayMode(const XRandRDisplayMode&) = delete;
    XRandRDisplayMode& operator=(const XRandRDisplayMode&) = delete;

    // Switches to width x height (making the mode if the output lacks it).
    bool Change(int width, int height);
    // Back to the mode and screen size before the first change; true when
    // nothing had been changed.
    bool Restore();
    bool Changed() const { return m_changed; }
    // The current screen size, or false without an X display.
    static bool ScreenSize(int* width, int* height);
    const std::string& LastError() const { return m_error; }

private:
    bool Open();

    void* m_display = nullptr;
    bool m_changed = false;
    unsigned long m_originalMode = 0;
    int m_originalWidth = 0, m_originalHeight = 0;
    int m_originalMmWidth = 0, m_originalMmHeight = 0;
    std::string m_error;
};
