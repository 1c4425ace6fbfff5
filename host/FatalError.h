#pragma once

#include <functional>
#include <wx/string.h>

// Failures the host cannot continue from: a modal error box, then exit code 3.
class FatalError {
public:
    static constexpr int ExitCode = 3;

    // Work that must be done before the process ends this way (ending the
    // server's process group, restoring the display mode). Runs before the box
    // shows, so nothing depends on the user dismissing it.
    static int AddCleanup(std::function<void()> cleanup);
    static void RemoveCleanup(int id);
    static void RunCleanups();

    [[noreturn]] static void Show(const wxString& caption, const wxString& text);
};

// The text is shown as given, never used as a format: a '%' in it stays a '%'.
[[noreturn]] void ShowFatalError(const wxString& caption, const wxString& text);
