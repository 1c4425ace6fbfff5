#pragma once

#include <wx/string.h>

// The parts of a URL that say where it leads: scheme, host and port, read as
// a browser reads them. User information never counts as the host.
class WebUrl {
public:
    explicit WebUrl(const wxString& url);

    // An http or https URL with a host.
    bool IsWeb() const { return m_web; }
    const wxString& Scheme() const { return m_scheme; }
    // Lower-cased, percent-decoded, without a trailing dot; an IPv6 literal
    // keeps its brackets.
    const wxString& Host() const { return m_host; }
    // The written port, else the scheme's default; -1 when it is no number.
    int Port() const { return m_port; }

    // The scheme of any URL, lower-cased; empty when the text has none.
    static wxString SchemeOf(const wxString& url);
    static int DefaultPort(const wxString& scheme);
    // %XX sequences as UTF-8; text whose bytes are no UTF-8 stays as it was.
    static wxString PercentDecoded(const wxString& text);

private:
    wxString m_scheme;
    wxString m_host;
    int m_port = -1;
    bool m_web = false;
};
