#include "host/FatalReport.h"

#include "host/UserMessages.h"

wxString FatalReport::Details() const {
    wxString details;
    auto paragraph = [&details](const wxString& text) {
        if (!details.empty())
            details += wxS("\n\n");
        details += text;
    };
    if (!reason.empty())
        paragraph(UserMessages::Pick(language, wxS("Grund: "), wxS("Reason: ")) + reason);
    if (!serverOutput.empty()) {
        wxString lines = UserMessages::Pick(language, L"Die letzten Zeilen des Servers:",
                                            L"The server's last lines:");
        for (const wxString& line : serverOutput)
            lines += wxS("\n") + line;
        paragraph(lines);
    }
    paragraph(logPath.empty()
                  ? UserMessages::Pick(language,
                                       L"Protokolldatei: keine (die Protokollierung ist "
                                       L"ausgeschaltet oder nicht möglich)",
                                       L"Log file: none (logging is off or not possible)")
                  : UserMessages::Pick(language, wxS("Protokolldatei: "), wxS("Log file: ")) +
                        logPath);
    return details;
}

wxString FatalReport::CopyText(const wxString& caption, const wxString& text) const {
    wxString copy = caption + wxS("\n\n") + text + wxS("\n\n") + Details() + wxS("\n\n");
    copy += wxS("velta-host ") + (version.empty() ? wxString(wxS("?")) : version) + wxS("\n");
    copy += UserMessages::Pick(language, wxS("Konfiguration: "), wxS("Configuration: ")) +
            (configPath.empty() ? wxString(wxS("?")) : configPath) + wxS("\n");
    return copy;
}

wxString FatalReport::CopyLabel() const {
    return UserMessages::Pick(language, wxS("Details &kopieren"), wxS("&Copy details"));
}

wxString FatalReport::CopiedLabel() const {
    return UserMessages::Pick(language, wxS("Kopiert"), wxS("Copied"));
}

wxString FatalReport::OpenLogLabel() const {
    return UserMessages::Pick(language, L"&Protokoll öffnen", wxS("Open &log"));
}
