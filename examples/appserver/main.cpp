#include "examples/appserver/DemoServer.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    DemoServer::Options options;
    std::string error;
    if (!DemoServer::ParseArguments(argc, argv, options, error)) {
        std::fprintf(stderr, "velta-demo-server: %s\n", error.c_str());
        return 2;
    }
    if (const char* token = std::getenv("VELTA_SERVER_TOKEN"))
        options.token = token;
    return DemoServer(options).Run();
}
