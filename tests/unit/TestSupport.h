#pragma once

#include "platform/UiServices.h"

#include <functional>
#include <string>
#include <vector>
#include <wx/log.h>
#include <wx/string.h>

// Message boxes and browser launches recorded instead of shown.
class RecordingUiServices : public UiServices {
public:
    struct Message {
        wxString caption, text;
        Icon icon;
    };
    void ShowMessage(const wxString& caption, const wxString& text, Icon icon) override {
        messages.push_back({caption, text, icon});
    }
    bool OpenInDefaultBrowser(const wxString& url) override {
        opened.push_back(url);
        return true;
    }
    std::vector<Message> messages;
    std::vector<wxString> opened;
};

// Runs the toolkit's event loop until `done` answers true or `timeoutMs` passed.
bool RunLoopUntil(const std::function<bool()>& done, int timeoutMs);

// A scratch directory, removed with its content on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    void Write(const std::string& name, const std::string& content) const;

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);

// Captures every log entry (formatted text only) while alive.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::vector<std::pair<int, wxString>> entries;
    bool Contains(const wxString& text) const;

private:
    class Target;
    Target* m_target;
    wxLog* m_previous;
    wxLogLevel m_previousLevel;
};

// Toolkit assertion handler for tests: a failed assertion fails the test
// instead of opening a dialog.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg);

// Where the build put the demo server and the test tools.
std::string BuildDir();
