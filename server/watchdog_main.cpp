#include "server/Watchdog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// The watchdog as a program of its own: without the toolkit and the engine
// loaded, it costs a megabyte instead of the host's libraries.
int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], Watchdog::Switch()) == 0)
        return Watchdog::Run(std::atoi(argv[2]), argc >= 4 ? argv[3] : "");
    std::fprintf(stderr, "velta-watchdog is started by velta-host, not by hand\n");
    return 2;
}
