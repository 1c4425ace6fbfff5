#include "server/FailureReason.h"

#include "host/UserMessages.h"
#include "server/ExitCodeMessages.h"

#include <cstring>

namespace {
wxString ContractName(int code, bool german) {
    switch (code) {
    case ExitCodeMessages::InternalError:
        return german ? wxS("interner Fehler") : wxS("internal error");
    case ExitCodeMessages::AlreadyRunning:
        return german ? wxString(L"läuft bereits") : wxS("already running");
    case ExitCodeMessages::DefaultExit:
        return wxS("EXIT_CODE_DEFAULT");
    default:
        return wxString();
    }
}
} // namespace

wxString FailureReason::Exit(int status, bool whileStarting, const wxString& lang) {
    const bool german = UserMessages::IsGerman(lang);
    const wxString when =
        german ? (whileStarting ? L", während er startete."
                                : L", nachdem er "
                                  L"gestartet war.")
               : (whileStarting ? L" while it was starting." : L" after it had started.");
    const int code = ExitCodeMessages::Normalize(status);
    const wxString contract = ContractName(code, german);
    if (!contract.empty()) {
        const int shown = status < 0 ? status & 0xFF : status;
        return wxString::Format(german ? L"Der Server hat sich mit dem Exit-Code %d (%s) beendet"
                                       : L"The server ended with exit code %d (%s)",
                                shown, contract) +
               when;
    }
    if (status < 0) {
        const int signal = -status;
        const char* abbreviation = sigabbrev_np(signal);
        const wxString name =
            abbreviation ? wxS(" (SIG") + wxString::FromUTF8(abbreviation) + wxS(")") : wxString();
        return wxString::Format(german ? L"Der Server wurde durch das Signal %d%s beendet"
                                       : L"The server was ended by signal %d%s",
                                signal, name) +
               when;
    }
    return wxString::Format(german ? L"Der Server hat sich mit dem Exit-Code %d beendet"
                                   : L"The server ended with exit code %d",
                            status) +
           when;
}

wxString FailureReason::NoAnswer(unsigned seconds, const wxString& url, const wxString& why,
                                 const wxString& lang) {
    wxString text = UserMessages::Pick(
        lang, wxString::Format(L"Der Server hat in %u Sekunden nicht geantwortet.", seconds),
        wxString::Format(L"The server did not answer within %u seconds.", seconds));
    if (!url.empty())
        text +=
            UserMessages::Pick(lang, wxString::Format(L" Die letzte Prüfung von %s ergab: ", url),
                               wxString::Format(L" The last check of %s said: ", url)) +
            (why.empty() ? wxString(wxS("?")) : why);
    return text;
}

wxString FailureReason::NotStartable(const wxString& program, const wxString& lang) {
    return UserMessages::Pick(
        lang,
        wxString::Format(L"Das Startprogramm des Servers „%s“ kann nicht ausgeführt werden "
                         L"(nicht gefunden oder nicht ausführbar).",
                         program),
        wxString::Format(L"The server's start program '%s' cannot be run (not found or not "
                         L"executable).",
                         program));
}

wxString FailureReason::NoFreePort(unsigned firstPort, const wxString& lang) {
    return UserMessages::Pick(lang, wxString::Format(L"Kein freier Anschluss ab %u.", firstPort),
                              wxString::Format(L"No free port from %u on.", firstPort));
}

wxString FailureReason::ForeignListener(unsigned port, const wxString& lang) {
    return UserMessages::Pick(
        lang,
        wxString::Format(L"Auf dem Anschluss %u wartet ein Programm, das nicht der Server ist.",
                         port),
        wxString::Format(L"A program that is not the server listens on port %u.", port));
}
