#include "browserlib/runtime/engine/EngineBackend.h"

#include <cstdlib>

std::string EngineBackend::SelectedName() {
    const char* choice = std::getenv("VELTA_BROWSER_ENGINE");
    return choice && std::string(choice) == "headless" ? "headless" : "webkit";
}

EngineBackend& EngineBackend::Get() {
    static std::unique_ptr<EngineBackend> backend =
        SelectedName() == "headless" ? CreateHeadlessBackend() : CreateWebKitBackend();
    return *backend;
}
