#include "host/FatalError.h"

#include "host/FatalReport.h"
#include "platform/UiServices.h"

#include <csignal>
#include <cstdlib>
#include <map>
#include <unistd.h>
#include <wx/log.h>

namespace {
std::map<int, std::function<void()>>& Cleanups() {
    // Never destroyed: objects of static storage unregister while the process ends.
    static auto* cleanups = new std::map<int, std::function<void()>>;
    return *cleanups;
}
const size_t kMaxTextLength = 8192;

FatalReport& Report() {
    static auto* report = new FatalReport;
    return *report;
}
std::function<std::vector<wxString>()>& OutputSource() {
    static auto* source = new std::function<std::vector<wxString>()>;
    return *source;
}
} // namespace

void FatalError::SetContext(const wxString& language, const wxString& logPath,
                            const wxString& configPath, const wxString& version) {
    Report().language = language;
    Report().logPath = logPath;
    Report().configPath = configPath;
    Report().version = version;
}

void FatalError::SetOutputSource(std::function<std::vector<wxString>()> source) {
    OutputSource() = std::move(source);
}

int FatalError::AddCleanup(std::function<void()> cleanup) {
    static int nextId = 1;
    Cleanups()[nextId] = std::move(cleanup);
    return nextId++;
}

void FatalError::RemoveCleanup(int id) {
    Cleanups().erase(id);
}

void FatalError::RunCleanups() {
    auto cleanups = std::move(Cleanups());
    Cleanups().clear();
    for (auto& entry : cleanups)
        entry.second();
}

void FatalError::Show(const wxString& caption, const wxString& text, const wxString& reason) {
    RunCleanups();
    FatalReport report = Report();
    report.reason = reason;
    if (OutputSource())
        report.serverOutput = OutputSource()();
    wxLogError(wxS("FatalError: %s %s%s"), caption, text,
               reason.empty() ? wxString() : wxS(" Reason: ") + reason);
    // Everything is ended and said; a session's end or Ctrl+C while the box
    // waits for the user ends the host the way the box would.
    struct sigaction action = {};
    action.sa_handler = [](int) { _exit(ExitCode); };
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    wxLogMessage(wxS("FatalError: the message waits for the user; a signal ends the host too"));
    wxLog::FlushActive();
    {
        // A log target that shows boxes of its own must not stack one on ours.
        wxLogNull quiet;
        UiServices::Failure failure;
        failure.caption = caption;
        failure.text = text.Left(kMaxTextLength);
        failure.details = report.Details();
        failure.copyText = report.CopyText(caption, failure.text);
        failure.logPath = report.logPath;
        failure.copyLabel = report.CopyLabel();
        failure.copiedLabel = report.CopiedLabel();
        failure.openLogLabel = report.OpenLogLabel();
        UiServices::Get().ShowFailure(failure);
    }
    std::exit(ExitCode);
}

void ShowFatalError(const wxString& caption, const wxString& text, const wxString& reason) {
    FatalError::Show(caption, text, reason);
}
