#include "platform/WxUiServices.h"

#include "platform/BrowserCommand.h"
#include "platform/ProgramPath.h"

#include <vector>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dialog.h>
#include <wx/filefn.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

namespace {
// The toolkit's GTK message dialog has no icon and no placement of its own
// without a window manager; this one shows the icon and sits in the centre.
class MessageDialog : public wxDialog {
public:
    MessageDialog(const wxString& caption, const wxString& text, const wxArtID& art)
        : wxDialog(nullptr, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
                   wxDEFAULT_DIALOG_STYLE | wxSTAY_ON_TOP) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(
            new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX)), 0,
            wxALL | wxALIGN_TOP, 16);
        auto* label = new wxStaticText(this, wxID_ANY, text);
        label->Wrap(FromDIP(420));
        row->Add(label, 1, wxTOP | wxBOTTOM | wxRIGHT | wxALIGN_CENTER_VERTICAL, 16);
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(row, 1, wxEXPAND);
        auto* ok = new wxButton(this, wxID_OK, wxS("OK"));
        ok->SetDefault();
        ok->SetFocus();
        column->Add(ok, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
        SetSizerAndFit(column);
        SetEscapeId(wxID_OK);
        CentreOnScreen();
    }
};

// Runs `program` with `argument` as one word of an argv, never as shell text.
bool RunWithArgument(const wxString& program, const wxString& argument) {
    const wxString found = ProgramPath::Find(program, ProgramPath::CurrentSearchPath());
    if (found.empty())
        return false;
    const wxScopedCharBuffer path = found.utf8_str(), word = argument.utf8_str();
    const char* argv[] = {path.data(), word.data(), nullptr};
    return wxExecute(const_cast<char**>(argv), wxEXEC_ASYNC) > 0;
}

// The fatal box: the message, the details in a field that can be selected
// and read by a screen reader, and the two things a user then wants.
class FailureDialog : public wxDialog {
public:
    explicit FailureDialog(const UiServices::Failure& failure)
        : wxDialog(nullptr, wxID_ANY, failure.caption, wxDefaultPosition, wxDefaultSize,
                   wxDEFAULT_DIALOG_STYLE | wxSTAY_ON_TOP | wxRESIZE_BORDER),
          m_failure(failure) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(new wxStaticBitmap(this, wxID_ANY,
                                    wxArtProvider::GetBitmap(wxART_ERROR, wxART_MESSAGE_BOX)),
                 0, wxALL | wxALIGN_TOP, 16);
        auto* text = new wxBoxSizer(wxVERTICAL);
        auto* label = new wxStaticText(this, wxID_ANY, failure.text);
        label->Wrap(FromDIP(480));
        text->Add(label, 0, wxBOTTOM, 10);
        if (!failure.details.empty()) {
            auto* details = new wxTextCtrl(this, wxID_ANY, failure.details, wxDefaultPosition,
                                           FromDIP(wxSize(480, 200)),
                                           wxTE_MULTILINE | wxTE_READONLY | wxTE_BESTWRAP);
            details->SetName(wxS("details"));
            text->Add(details, 1, wxEXPAND);
        }
        row->Add(text, 1, wxEXPAND | wxTOP | wxBOTTOM | wxRIGHT, 16);
        auto* buttons = new wxBoxSizer(wxHORIZONTAL);
        m_copy = new wxButton(this, wxID_ANY, failure.copyLabel);
        m_copy->Bind(wxEVT_BUTTON, &FailureDialog::OnCopy, this);
        buttons->Add(m_copy, 0, wxRIGHT, 8);
        auto* openLog = new wxButton(this, wxID_ANY, failure.openLogLabel);
        openLog->Bind(wxEVT_BUTTON, &FailureDialog::OnOpenLog, this);
        openLog->Enable(!failure.logPath.empty() && wxFileExists(failure.logPath));
        buttons->Add(openLog, 0);
        buttons->AddStretchSpacer();
        auto* ok = new wxButton(this, wxID_OK, wxS("OK"));
        ok->SetDefault();
        ok->SetFocus();
        buttons->Add(ok, 0);
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(row, 1, wxEXPAND);
        column->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
        SetSizerAndFit(column);
        SetEscapeId(wxID_OK);
        CentreOnScreen();
    }

private:
    void OnCopy(wxCommandEvent&) {
        if (!wxTheClipboard->Open())
            return;
        wxTheClipboard->SetData(new wxTextDataObject(m_failure.copyText));
        wxTheClipboard->Close();
        // Kept by a clipboard manager after the host is gone, where there is one.
        wxTheClipboard->Flush();
        m_copy->SetLabel(m_failure.copiedLabel);
        Layout();
    }
    void OnOpenLog(wxCommandEvent&) {
        if (!RunWithArgument(wxS("xdg-open"), m_failure.logPath))
            wxBell();
    }

    UiServices::Failure m_failure;
    wxButton* m_copy = nullptr;
};
} // namespace

void WxUiServices::ShowMessage(const wxString& caption, const wxString& text, Icon icon) {
    wxArtID art = wxART_ERROR;
    if (icon == Icon::Warning)
        art = wxART_WARNING;
    else if (icon == Icon::Information)
        art = wxART_INFORMATION;
    MessageDialog dialog(caption, text, art);
    dialog.ShowModal();
}

void WxUiServices::ShowFailure(const Failure& failure) {
    FailureDialog dialog(failure);
    dialog.ShowModal();
}

bool WxUiServices::OpenInDefaultBrowser(const wxString& url) {
    // The URL is one argument of an argv, never shell text.
    wxString variable;
    wxGetEnv("BROWSER", &variable);
    const wxString searchPath = ProgramPath::CurrentSearchPath();
    wxString tried;
    for (const wxArrayString& command : BrowserCommand::Candidates(variable, url)) {
        tried += (tried.empty() ? wxS("") : wxS(", ")) + command[0];
        const wxString program = ProgramPath::Find(command[0], searchPath);
        if (program.empty())
            continue;
        std::vector<wxScopedCharBuffer> words;
        words.push_back(program.utf8_str());
        for (size_t i = 1; i < command.size(); ++i)
            words.push_back(command[i].utf8_str());
        std::vector<const char*> argv;
        for (const wxScopedCharBuffer& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        if (wxExecute(argv.data(), wxEXEC_ASYNC) > 0)
            return true;
    }
    wxLogError(wxS("WxUiServices::OpenInDefaultBrowser could not open %s: none of %s could be "
                   "started"),
               url, tried);
    return false;
}
