#pragma once

#include <vector>
#include <wx/string.h>

// What a fatal box says below its message, and what "Copy details" copies:
// why it happened, the server's last words, where the log is.
class FatalReport {
public:
    wxString language;   // the interface language of the box
    wxString reason;     // one or two sentences; empty when nothing more is known
    wxString logPath;    // absolute; empty when no log file is written
    wxString configPath; // absolute
    wxString version;
    std::vector<wxString> serverOutput; // oldest first

    // The part below the message; empty when there is nothing to say.
    wxString Details() const;
    // Plain text of the whole box, with the version and the configuration,
    // for a report the user pastes somewhere.
    wxString CopyText(const wxString& caption, const wxString& text) const;

    wxString CopyLabel() const;
    wxString CopiedLabel() const;
    wxString OpenLogLabel() const;
};
