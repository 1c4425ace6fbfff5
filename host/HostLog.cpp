#include "host/HostLog.h"

#include "host/RotatingLogFile.h"

#include <wx/datetime.h>

namespace {
class HostLogFormatter : public wxLogFormatter {
public:
    wxString Format(wxLogLevel level, const wxString& msg,
                    const wxLogRecordInfo& info) const override {
        return HostLog::FormatLine(level, msg, info.timestamp);
    }
};

class RotatingTarget : public wxLog {
public:
    explicit RotatingTarget(RotatingLogFile* file) : m_file(file) {}

protected:
    void DoLogText(const wxString& text) override {
        const wxScopedCharBuffer utf8 = text.utf8_str();
        std::string line(utf8.data(), utf8.length());
        line += '\n';
        m_file->Write(line);
    }

private:
    RotatingLogFile* m_file;
};
} // namespace

wxLogLevel HostLog::LevelFromName(const wxString& name) {
    const wxString lower = name.Lower();
    if (lower == wxS("error"))
        return wxLOG_Error;
    if (lower == wxS("warning"))
        return wxLOG_Warning;
    return wxLOG_Message;
}

void HostLog::ApplyLogLevel(const wxString& name) {
    wxLog::SetLogLevel(LevelFromName(name));
}

namespace {
wxString& Secret() {
    static wxString secret;
    return secret;
}
} // namespace

void HostLog::HideSecret(const wxString& secret) {
    Secret() = secret;
}

wxString HostLog::WithoutSecret(const wxString& text) {
    wxString shown = text;
    if (!Secret().empty())
        shown.Replace(Secret(), wxString(L"\u2026"));
    return shown;
}

wxString HostLog::FormatLine(wxLogLevel level, const wxString& text, time_t when) {
    wxString line = wxDateTime(when).Format(wxS("%X")) + wxS(": ");
    if (level == wxLOG_Error)
        line += wxS("Error: ");
    else if (level == wxLOG_Warning)
        line += wxS("Warning: ");
    return line + Shortened(WithoutSecret(text));
}

wxLog* HostLog::CreateTarget(FILE* file) {
    wxLog* target = new wxLogStderr(file ? file : stderr, wxConvUTF8);
    delete target->SetFormatter(new HostLogFormatter);
    return target;
}

wxLog* HostLog::CreateRotatingTarget(RotatingLogFile* file) {
    wxLog* target = new RotatingTarget(file);
    delete target->SetFormatter(new HostLogFormatter);
    return target;
}

wxString HostLog::Shortened(const wxString& text, size_t most) {
    if (text.length() <= most)
        return text;
    wxString out;
    size_t start = 0;
    while (start < text.length()) {
        size_t end = start;
        while (end < text.length() && !wxIsspace(text[end]))
            ++end;
        if (end - start > most)
            out << text.substr(start, most)
                << wxString::Format(wxS("... (cut, %zu characters)"), end - start);
        else
            out << text.substr(start, end - start);
        start = end;
        while (start < text.length() && wxIsspace(text[start]))
            out << text[start++];
    }
    return out;
}
