#include "CPromptService.h"

#include "MozillaFacade.h"
#include "StringConv.h"
#include "nsComponentManager.h"
#include "nsMemory.h"

#include <vector>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

int (*CPromptService::s_showModal)(wxDialog*) = [](wxDialog* dialog) {
    return dialog->ShowModal();
};
int (*CPromptService::s_messageBox)(const wxString&, const wxString&, long, wxWindow*) =
    [](const wxString& text, const wxString& caption, long style, wxWindow* parent) {
        return wxMessageBox(text, caption, style, parent);
    };

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
        CPromptService::SetLabelRefit(dialog, check, StringConv::FromUnicode(checkMsg));
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

nsresult CPromptService::Confirm(nsIDOMWindow*, const PRUnichar* title, const PRUnichar* text,
                                 PRBool* result) {
    const int answer = s_messageBox(StringConv::FromUnicode(text), StringConv::FromUnicode(title),
                                    wxYES_NO | wxICON_EXCLAMATION, nullptr);
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

nsresult CPromptService::ConfirmEx(nsIDOMWindow*, const PRUnichar*, const PRUnichar*, PRUint32,
                                   const PRUnichar*, const PRUnichar*, const PRUnichar*,
                                   const PRUnichar*, PRBool*, PRInt32*) {
    return NS_ERROR_NOT_IMPLEMENTED;
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
