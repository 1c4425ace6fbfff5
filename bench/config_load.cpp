// Times the configuration reader on large and odd files: many siblings, a long
// text value, a long comment, deep nesting. Run: build/bench/velta-config-bench
#include "config/HostConfig.h"
#include "platform/UiServices.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {
std::string Key(const std::string& name, const std::string& text) {
    return "<object name=\"" + name + "\" class=\"configuration\">" + text + "</object>";
}

void Time(const char* what, const std::string& document) {
    char path[] = "/tmp/velta-config-bench-XXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    std::ofstream(path) << document;
    HostConfig config;
    config.SetFileName(path);
    const auto begin = std::chrono::steady_clock::now();
    const bool ok = config.XmlConfig::Load();
    if (ok)
        config.Load();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("%-28s %9.1f KB  %8.3f s  %s\n", what, document.size() / 1024.0, seconds,
                ok ? "read" : "refused");
    unlink(path);
}
} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const int scale = argc > 1 ? std::atoi(argv[1]) : 1;
    std::string siblings = "<c>";
    for (int i = 0; i < 30000 * scale; ++i)
        siblings += "<x a=\"" + std::to_string(i) + "\"/>";
    Time("30,000 siblings", siblings + Key("StartUrl", "http://app/") + "</c>");
    Time("4 MB text value", "<c>" + Key("StartUrl", std::string(4 << 20, 'a')) + "</c>");
    Time("1 MB comment",
         "<c><!--" + std::string(1 << 20, 'a') + "-->" + Key("StartUrl", "http://app/") + "</c>");
    std::string deep;
    for (int i = 0; i < 26000; ++i)
        deep += "<d>";
    for (int i = 0; i < 26000; ++i)
        deep += "</d>";
    Time("26,000 deep", "<c>" + deep + "</c>");
    Time("17 MB file", "<c>" + Key("StartUrl", std::string(17 << 20, 'a')) + "</c>");
    return 0;
}
