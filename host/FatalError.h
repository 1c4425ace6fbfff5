#pragma once

#include <functional>
#include <vector>
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

    // What every box says below its message: set once the configuration is
    // read and the log is open.
    static void SetContext(const wxString& language, const wxString& logPath,
                           const wxString& configPath, const wxString& version);
    // The server's last lines, asked for when a box is shown.
    static void SetOutputSource(std::function<std::vector<wxString>()> source);

    // `reason`: why, in the interface language; empty when nothing more is known.
    [[noreturn]] static void Show(const wxString& caption, const wxString& text,
                                  const wxString& reason = wxString());
};

// The text is shown as given, never used as a format: a '%' in it stays a '%'.
[[noreturn]] void ShowFatalError(const wxString& caption, const wxString& text,
                                 const wxString& reason = wxString());
