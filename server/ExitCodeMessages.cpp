#include "server/ExitCodeMessages.h"

#include "host/UserMessages.h"

int ExitCodeMessages::Normalize(int status) {
    for (int code : {InternalError, AlreadyRunning, DefaultExit}) {
        const int low = code & 0xFF;
        if (status == code || status == low || status == static_cast<signed char>(low))
            return code;
    }
    return status;
}

wxString ExitCodeMessages::ForExitCode(int status, const wxString& lang) {
    switch (Normalize(status)) {
    case InternalError:
        return UserMessages::Pick(
            lang,
            L"Ein interner Fehler ist aufgetreten. Bitte führen Sie einen Neustart Ihres "
            L"Computer aus und starten Sie anschließend die Anwendung erneut.",
            L"Internal server error. Please restart your computer and open the program again.");
    case AlreadyRunning:
        return UserMessages::Pick(
            lang,
            L"Die Anwendung ist bereits geöffnet. Bitte führen Sie einen Neustart Ihres "
            L"Computer aus und starten Sie anschließend die Anwendung erneut.",
            L"The program is already running. Please restart your computer and open the "
            L"program again.");
    case DefaultExit:
        return UserMessages::Pick(lang,
                                  L"Das Programm wurde aufgrund eines Fehlers beendet "
                                  L"(EXIT_CODE_DEFAULT). Bitte starten Sie die Anwendung erneut.",
                                  L"The application has been shut down (EXIT_CODE_DEFAULT). "
                                  L"Please open the program again.");
    default:
        return UserMessages::Pick(lang,
                                  L"Das Programm wurde aufgrund eines Fehlers beendet. Bitte "
                                  L"starten Sie die Anwendung erneut.",
                                  L"The application has been shut down. Please open the "
                                  L"program again.");
    }
}

wxString ExitCodeMessages::StartFailed(const wxString& lang) {
    return UserMessages::Pick(
        lang,
        L"Die Anwendung konnte nicht gestartet werden. Bitte führen Sie einen Neustart Ihres "
        L"Computer aus und starten Sie anschließend die Anwendung erneut.",
        L"The application could not be started. Please restart your computer and open the "
        L"program again.");
}
