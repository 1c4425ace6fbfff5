#pragma once

#include <wx/string.h>

// Why the server is not there, in the interface language, for the line below
// a fatal message. Pure: the controller says what it saw.
class FailureReason {
public:
    // `status` as the toolkit reports a child's end: the exit code, or the
    // signal as a negative number.
    static wxString Exit(int status, bool whileStarting, const wxString& uiLanguage);
    // `why`: the last status check's own words (the probe's, in English).
    static wxString NoAnswer(unsigned seconds, const wxString& url, const wxString& why,
                             const wxString& uiLanguage);
    static wxString NotStartable(const wxString& program, const wxString& uiLanguage);
    static wxString NoFreePort(unsigned firstPort, const wxString& uiLanguage);
    static wxString ForeignListener(unsigned port, const wxString& uiLanguage);
};
