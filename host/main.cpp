#include "host/ConfigCheck.h"
#include "host/HostApp.h"
#include "platform/Utf8Locale.h"
#include "server/Watchdog.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <wx/filename.h>

wxIMPLEMENT_APP_NO_MAIN(HostApp);

int main(int argc, char** argv) {
    // The host's own program, started again as its watchdog: no toolkit at all.
    if (argc >= 3 && std::strcmp(argv[1], Watchdog::Switch()) == 0)
        return Watchdog::Run(std::atoi(argv[2]), argc >= 4 ? argv[3] : "");
    // A check of the configuration alone: no toolkit, no window, no server.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-check_config") == 0) {
            Utf8Locale::Setup();
            wxFileName program(wxString::FromUTF8(argv[0]));
            program.MakeAbsolute();
            return ConfigCheck::Run(program.GetPath(), std::cout);
        }
    return wxEntry(argc, argv);
}
