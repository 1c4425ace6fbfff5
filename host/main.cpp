#include "host/HostApp.h"
#include "server/Watchdog.h"

#include <cstdlib>
#include <cstring>

wxIMPLEMENT_APP_NO_MAIN(HostApp);

int main(int argc, char** argv) {
    // The host's own program, started again as its watchdog: no toolkit at all.
    if (argc >= 3 && std::strcmp(argv[1], Watchdog::Switch()) == 0)
        return Watchdog::Run(std::atoi(argv[2]), argc >= 4 ? argv[3] : "");
    return wxEntry(argc, argv);
}
