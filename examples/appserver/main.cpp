#include "examples/appserver/DemoServer.h"

#include <cstdio>

int main(int argc, char** argv) {
    DemoServer::Options options;
    std::string error;
    if (!DemoServer::ParseArguments(argc, argv, options, error)) {
        std::fprintf(stderr, "velta-demo-server: %s\n", error.c_str());
        return 2;
    }
    return DemoServer(options).Run();
}
