#include "tests/unit/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>
#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/evtloop.h>
#include <wx/log.h>

#ifndef VELTA_BUILD_DIR
#define VELTA_BUILD_DIR "."
#endif

bool RunLoopUntil(const std::function<bool()>& done, int timeoutMs) {
    std::unique_ptr<wxEventLoopBase> loop(
        wxAppConsole::GetInstance()->GetTraits()->CreateEventLoop());
    wxEventLoopActivator activate(loop.get());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        loop->DispatchTimeout(20);
        wxAppConsole::GetInstance()->ProcessPendingEvents();
        loop->ProcessIdle();
    }
    return true;
}

TempDir::TempDir() {
    char pattern[] = "/tmp/velta-test-XXXXXX";
    m_path = mkdtemp(pattern);
}

TempDir::~TempDir() {
    const std::string command = "rm -rf '" + m_path + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", m_path.c_str());
}

void TempDir::Write(const std::string& name, const std::string& content) const {
    std::ofstream out(File(name), std::ios::binary);
    out << content;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class LogCapture::Target : public wxLog {
public:
    explicit Target(LogCapture& owner) : m_owner(owner) {}

protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo&) override {
        m_owner.entries.emplace_back(static_cast<int>(level), msg);
    }

private:
    LogCapture& m_owner;
};

LogCapture::LogCapture() : m_target(new Target(*this)) {
    m_previousLevel = wxLog::GetLogLevel();
    wxLog::SetLogLevel(wxLOG_Message);
    m_previous = wxLog::SetActiveTarget(m_target);
}

LogCapture::~LogCapture() {
    wxLog::SetActiveTarget(m_previous);
    wxLog::SetLogLevel(m_previousLevel);
    delete m_target;
}

bool LogCapture::Contains(const wxString& text) const {
    for (const auto& entry : entries) {
        if (entry.second.Contains(text))
            return true;
    }
    return false;
}

std::string BuildDir() {
    return VELTA_BUILD_DIR;
}

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << "toolkit assertion " << cond.utf8_str().data() << " in " << func.utf8_str().data()
        << ": " << msg.utf8_str().data();
}
