#include "platform/UiServices.h"

#include <chrono>
#include <cstdio>

namespace {
std::unique_ptr<UiServices>& Installed() {
    static std::unique_ptr<UiServices> services = std::make_unique<ConsoleUiServices>();
    return services;
}
} // namespace

long long UiServices::NowMillis() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

long long UiServices::NowSeconds() const {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

void UiServices::ShowFailure(const Failure& failure) {
    ShowMessage(failure.caption,
                failure.details.empty() ? failure.text
                                        : failure.text + wxS("\n\n") + failure.details,
                Icon::Error);
}

UiServices& UiServices::Get() {
    return *Installed();
}

std::unique_ptr<UiServices> UiServices::Install(std::unique_ptr<UiServices> services) {
    std::unique_ptr<UiServices> previous = std::move(Installed());
    Installed() = std::move(services);
    return previous;
}

void ConsoleUiServices::ShowMessage(const wxString& caption, const wxString& text, Icon) {
    std::fprintf(stderr, "%s: %s\n", caption.utf8_str().data(), text.utf8_str().data());
    std::fflush(stderr);
}

bool ConsoleUiServices::OpenInDefaultBrowser(const wxString& url) {
    std::fprintf(stderr, "open in browser: %s\n", url.utf8_str().data());
    return false;
}
