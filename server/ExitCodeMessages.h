#pragma once

#include <wx/string.h>

// What the user is told about a server that ended by itself.
class ExitCodeMessages {
public:
    // The server contract's codes: the server reports these through its exit status.
    static constexpr int InternalError = -9001;
    static constexpr int AlreadyRunning = -9000;
    static constexpr int DefaultExit = -8000;

    // A POSIX child reports only the low 8 bits of its status, which arrive as a
    // signed or an unsigned byte: maps both forms of the contract's codes (and an
    // unsigned 32-bit form) onto the codes; everything else is left as it is.
    static int Normalize(int status);

    // A server that ends with 0 while it is shown did what its user asked (its own
    // Quit); a signal arrives as a negative status, any other code is a failure.
    static bool IsOwnQuit(int status) { return status == 0; }

    static wxString ForExitCode(int status, const wxString& uiLanguage);
    // The message every start leaves behind until a more precise one replaces it.
    static wxString StartFailed(const wxString& uiLanguage);
};
