#include "platform/WxUiServices.h"

#include "platform/BrowserCommand.h"
#include "platform/ProgramPath.h"

#include <vector>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
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
