#include "browserlib/services/CPromptService.h"

#include "browserlib/MozillaFacade.h"
#include "browserlib/StringConv.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"
#include "config/HostConfig.h"

#include <set>
#include <vector>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
// After the toolkit's message dialog, which it builds on.
#include <wx/generic/msgdlgg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

namespace {
// The page dialogs being shown; a quit ends them as cancelled.
std::set<wxDialog*>& OpenDialogs() {
    static std::set<wxDialog*> open;
    return open;
}
bool g_refuseAll = false;

bool German() {
    MozillaFacade* facade = MozillaFacade::Existing();
    HostConfig* config = facade ? facade->GetHostConfig() : nullptr;
    return config && config->GetUILanguage().Lower() == wxS("de");
}

// The runtime's own texts in the host's language; any other text as it is.
// `window` names the window whose page asks to stay, where one has a title.
wxString Worded(const PRUnichar* text, const wxString& window = wxString()) {
    const std::u16string given = text ? std::u16string(text) : std::u16string();
    if (given == kLeavePageText) {
        const wxString named = window.empty() ? wxString() : L"\u201C" + window + L"\u201D\n\n";
        return named + (German() ? wxString(L"Diese Seite möchte wissen, ob Sie sie wirklich "
                                            L"verlassen wollen. Eingegebene Daten werden "
                                            L"möglicherweise nicht gespeichert.\n\nSeite "
                                            L"verlassen?")
                                 : wxString(wxS("This page asks you to confirm that you want to "
                                                "leave. Data you have entered may not be "
                                                "saved.\n\nLeave the page?")));
    }
    if (given == kStopDialogsCheckText)
        return German() ? wxString(L"Diese Seite daran hindern, weitere Dialoge zu öffnen")
                        : wxString(wxS("Prevent this page from opening more dialogs"));
    return StringConv::FromUnicode(text);
}

int ShownModal(wxDialog* dialog) {
    OpenDialogs().insert(dialog);
    const int answer = dialog->ShowModal();
    OpenDialogs().erase(dialog);
    return answer;
}
} // namespace

int (*CPromptService::s_showModal)(wxDialog*) = [](wxDialog* dialog) { return ShownModal(dialog); };
int (*CPromptService::s_messageBox)(const wxString&, const wxString&, long, wxWindow*) =
    [](const wxString& text, const wxString& caption, long style, wxWindow* parent) {
        // The toolkit's own message dialog runs a loop of its own that no
        // EndModal reaches; this one ends when the host closes.
        wxGenericMessageDialog box(parent, text, caption, style);
        const int answer = ShownModal(&box);
        // The answers of wxMessageBox, which this stands for.
        switch (answer) {
        case wxID_YES:
            return static_cast<int>(wxYES);
        case wxID_NO:
            return static_cast<int>(wxNO);
        case wxID_OK:
            return static_cast<int>(wxOK);
        default:
            return static_cast<int>(wxCANCEL);
        }
    };

void CPromptService::EndAllDialogs() {
    g_refuseAll = true;
    for (wxDialog* dialog : std::set<wxDialog*>(OpenDialogs()))
        if (dialog->IsModal())
            dialog->EndModal(wxID_CANCEL);
}

bool CPromptService::RefusesDialogs() {
    return g_refuseAll;
}

void CPromptService::AllowDialogs() {
    g_refuseAll = false;
}

namespace {
struct InputField {
    const char* name;
    PRUnichar** value;
};

// One of the resource dialogs, run for operation `op`.
nsresult RunDialog(CPromptService& service, const char* op, const char* resource,
                   nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                   const PRUnichar* checkMsg, PRBool* checkState,
                   const std::vector<InputField>& fields, PRBool* result) {
    const wxString prefix = wxString::Format(wxS("CPromptService::%s, "), op);
    if (CPromptService::RefusesDialogs()) {
        wxLogMessage(wxS("%sthe host is closing: answered as cancelled"), prefix);
        if (result)
            *result = false;
        return NS_OK;
    }
    wxWindow* owner = service.ParentWindow(parent);
    auto* dialog = new wxDialog;
    if (!wxXmlResource::Get()->LoadDialog(dialog, owner, resource)) {
        wxLogMessage(wxS("%s%s dialog not found"), prefix, op);
        delete dialog;
        return NS_OK;
    }
    dialog->SetTitle(StringConv::FromUnicode(title));

    auto* message = dialog->FindWindow(XRCID("textctrlMsg"));
    if (!message)
        wxLogMessage(wxS("%stextctrlMsg not found"), prefix);
    auto* check = dynamic_cast<wxCheckBox*>(dialog->FindWindow(XRCID("checkboxUser")));
    if (!check)
        wxLogMessage(wxS("%scheckboxUser not found"), prefix);
    std::vector<wxTextCtrl*> inputs;
    for (const InputField& field : fields) {
        auto* input = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(XRCID(field.name)));
        if (!input)
            wxLogMessage(wxS("%s%s not found"), prefix, field.name);
        inputs.push_back(input);
    }

    if (message)
        CPromptService::SetLabelRefit(dialog, message, StringConv::FromUnicode(text));
    if (check) {
        check->SetValue(checkState && *checkState);
        CPromptService::SetLabelRefit(dialog, check, Worded(checkMsg));
        // A box without a label asks nothing the user could answer.
        if (!checkMsg || !*checkMsg) {
            check->Hide();
            if (wxSizer* top = dialog->GetSizer())
                top->SetSizeHints(dialog);
        }
    }
    for (size_t i = 0; i < fields.size(); ++i)
        if (inputs[i] && *fields[i].value)
            inputs[i]->SetValue(StringConv::FromUnicode(*fields[i].value));
    dialog->Centre();

    const bool ok = CPromptService::s_showModal(dialog) == wxID_OK;
    if (fields.empty()) {
        if (check && ok && checkState)
            *checkState = check->GetValue();
        if (result)
            *result = ok;
    } else {
        bool complete = check != nullptr;
        for (wxTextCtrl* input : inputs)
            complete = complete && input;
        if (complete && ok) {
            for (size_t i = 0; i < fields.size(); ++i) {
                nsMemory::Free(*fields[i].value);
                *fields[i].value = StringConv::NewUnicode(inputs[i]->GetValue());
            }
            if (checkState)
                *checkState = check->GetValue();
        }
        if (result)
            *result = complete && ok;
    }
    dialog->Destroy();
    return NS_OK;
}
} // namespace

NS_INTERFACE_MAP_BEGIN(CPromptService)
NS_INTERFACE_MAP_ENTRY(nsIPromptService)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

CPromptService::CPromptService()
    : m_windowWatcher(do_GetService<nsIWindowWatcher>("@mozilla.org/embedcomp/window-watcher;1")) {}

wxWindow* CPromptService::ParentWindow(nsIDOMWindow* window) {
    if (!m_windowWatcher)
        return nullptr;
    nsCOMPtr<nsIDOMWindow> target = window;
    if (!target)
        m_windowWatcher->GetActiveWindow(getter_AddRefs(target));
    if (!target)
        return nullptr;
    nsCOMPtr<nsIWebBrowserChrome> chrome;
    m_windowWatcher->GetChromeForWindow(target, getter_AddRefs(chrome));
    nsCOMPtr<nsIEmbeddingSiteWindow> site = do_QueryInterface<nsIEmbeddingSiteWindow>(chrome);
    void* handle = nullptr;
    if (!site || NS_FAILED(site->GetSiteWindow(&handle)) || !handle)
        return nullptr;
    MozillaFacade* facade = MozillaFacade::Existing();
    return facade ? facade->FindWindowByHwnd(handle) : nullptr;
}

void CPromptService::SetLabelRefit(wxDialog* dialog, wxWindow* control, const wxString& label) {
    control->SetLabel(label);
    if (auto* staticText = dynamic_cast<wxStaticText*>(control))
        staticText->Wrap(dialog->FromDIP(480)); // long messages wrap instead of widening the box
    // The item's minimum size follows the new label (what the old toolkit's
    // adjust-min-size flag asked for).
    if (wxSizer* containing = control->GetContainingSizer()) {
        if (wxSizerItem* item = containing->GetItem(control))
            item->SetMinSize(control->GetBestSize());
    }
    // The whole dialog re-fits: fitting it to the inner row alone would cut
    // off the rest of it.
    if (wxSizer* top = dialog->GetSizer())
        top->SetSizeHints(dialog);
}

nsresult CPromptService::Alert(nsIDOMWindow* parent, const PRUnichar* title,
                               const PRUnichar* text) {
    if (RefusesDialogs())
        return NS_OK;
    s_messageBox(StringConv::FromUnicode(text), StringConv::FromUnicode(title),
                 wxOK | wxICON_INFORMATION, ParentWindow(parent));
    return NS_OK;
}

nsresult CPromptService::AlertCheck(nsIDOMWindow* parent, const PRUnichar* title,
                                    const PRUnichar* text, const PRUnichar* checkMsg,
                                    PRBool* checkState) {
    return RunDialog(*this, "AlertCheck", "AlertCheck", parent, title, text, checkMsg, checkState,
                     {}, nullptr);
}

nsresult CPromptService::Confirm(nsIDOMWindow* parent, const PRUnichar* title,
                                 const PRUnichar* text, PRBool* result) {
    if (RefusesDialogs()) {
        if (result)
            *result = false;
        return NS_OK;
    }
    // Several windows may be asked in turn when the application closes: the
    // question says which one, over that window.
    wxWindow* owner = nullptr;
    wxString window;
    if (text && std::u16string(text) == kLeavePageText) {
        owner = ParentWindow(parent);
        if (wxWindow* top = owner ? wxGetTopLevelParent(owner) : nullptr) {
            window = top->GetLabel();
            owner = top->IsShown() ? top : nullptr;
        }
        wxLogMessage(wxS("CPromptService: a page with unsaved work asks before it goes: \"%s\""),
                     window);
    }
    const int answer = s_messageBox(Worded(text, window), StringConv::FromUnicode(title),
                                    wxYES_NO | wxICON_EXCLAMATION, owner);
    if (result)
        *result = answer == wxYES;
    return NS_OK;
}

nsresult CPromptService::ConfirmCheck(nsIDOMWindow* parent, const PRUnichar* title,
                                      const PRUnichar* text, const PRUnichar* checkMsg,
                                      PRBool* checkState, PRBool* result) {
    return RunDialog(*this, "ConfirmCheck", "ConfirmCheck", parent, title, text, checkMsg,
                     checkState, {}, result);
}

nsresult CPromptService::ConfirmEx(nsIDOMWindow* parent, const PRUnichar* title,
                                   const PRUnichar* text, PRUint32, const PRUnichar* button0,
                                   const PRUnichar* button1, const PRUnichar*, const PRUnichar*,
                                   PRBool*, PRInt32* pressed) {
    // Two answers with words of the caller's own: button 0 agrees, button 1
    // (and Escape, and closing the box) refuses.
    if (pressed)
        *pressed = 1;
    if (RefusesDialogs())
        return NS_OK;
    wxWindow* owner = ParentWindow(parent);
    if (wxWindow* top = owner ? wxGetTopLevelParent(owner) : nullptr)
        owner = top->IsShown() ? top : nullptr;
    wxGenericMessageDialog box(owner, text ? StringConv::FromUnicode(text) : wxString(),
                               title ? StringConv::FromUnicode(title) : wxString(),
                               wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
    if (button0 && button1)
        box.SetYesNoLabels(StringConv::FromUnicode(button0), StringConv::FromUnicode(button1));
    box.SetEscapeId(wxID_NO);
    const int answer = s_showModal(&box);
    if (pressed)
        *pressed = answer == wxID_YES ? 0 : 1;
    return NS_OK;
}

nsresult CPromptService::Prompt(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                                PRUnichar** value, const PRUnichar* checkMsg, PRBool* checkState,
                                PRBool* result) {
    if (!value)
        return NS_ERROR_NULL_POINTER;
    return RunDialog(*this, "Prompt", "Prompt", parent, title, text, checkMsg, checkState,
                     {{"ID_TEXTCTRL_USERINPUT", value}}, result);
}

nsresult CPromptService::PromptUsernameAndPassword(nsIDOMWindow* parent, const PRUnichar* title,
                                                   const PRUnichar* text, PRUnichar** username,
                                                   PRUnichar** password, const PRUnichar* checkMsg,
                                                   PRBool* checkState, PRBool* result) {
    if (!username || !password)
        return NS_ERROR_NULL_POINTER;
    return RunDialog(*this, "PromptUsernameAndPassword", "PromptUserNamePassword", parent, title,
                     text, checkMsg, checkState,
                     {{"ID_TEXTCTRL_USERNAME", username}, {"ID_TEXTCTRL_PASSWORD", password}},
                     result);
}

nsresult CPromptService::PromptPassword(nsIDOMWindow* parent, const PRUnichar* title,
                                        const PRUnichar* text, PRUnichar** password,
                                        const PRUnichar* checkMsg, PRBool* checkState,
                                        PRBool* result) {
    if (!password)
        return NS_ERROR_NULL_POINTER;
    return RunDialog(*this, "PromptPassword", "PromptPassword", parent, title, text, checkMsg,
                     checkState, {{"ID_TEXTCTRL_PASSWORD", password}}, result);
}

nsresult CPromptService::Select(nsIDOMWindow*, const PRUnichar*, const PRUnichar*, PRUint32,
                                const PRUnichar**, PRInt32*, PRBool*) {
    return NS_ERROR_NOT_IMPLEMENTED;
}
