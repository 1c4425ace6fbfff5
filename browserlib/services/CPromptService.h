#pragma once

#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsCOMPtr.h"

#include <wx/string.h>

class wxDialog;
class wxWindow;

// The questions pages ask: message boxes for alerts and confirmations, dialogs
// from the library's resource document for the rest.
class CPromptService : public nsIPromptService {
    NS_DECL_ISUPPORTS
public:
    CPromptService();

    nsresult Alert(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text) override;
    nsresult AlertCheck(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                        const PRUnichar* checkMsg, PRBool* checkState) override;
    nsresult Confirm(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                     PRBool* result) override;
    nsresult ConfirmCheck(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                          const PRUnichar* checkMsg, PRBool* checkState, PRBool* result) override;
    nsresult ConfirmEx(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                       PRUint32 buttonFlags, const PRUnichar* button0, const PRUnichar* button1,
                       const PRUnichar* button2, const PRUnichar* checkMsg, PRBool* checkState,
                       PRInt32* pressed) override;
    nsresult Prompt(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                    PRUnichar** value, const PRUnichar* checkMsg, PRBool* checkState,
                    PRBool* result) override;
    nsresult PromptUsernameAndPassword(nsIDOMWindow* parent, const PRUnichar* title,
                                       const PRUnichar* text, PRUnichar** username,
                                       PRUnichar** password, const PRUnichar* checkMsg,
                                       PRBool* checkState, PRBool* result) override;
    nsresult PromptPassword(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                            PRUnichar** password, const PRUnichar* checkMsg, PRBool* checkState,
                            PRBool* result) override;
    nsresult Select(nsIDOMWindow* parent, const PRUnichar* title, const PRUnichar* text,
                    PRUint32 count, const PRUnichar** selectList, PRInt32* outSelection,
                    PRBool* result) override;

    // The browser frame that shows `window` (the active window when null).
    wxWindow* ParentWindow(nsIDOMWindow* window);
    // Sets a control's label and lets the dialog grow to fit it.
    // Ends the page dialogs being shown, as cancelled, and answers every later
    // one so at once: the host is closing.
    static void EndAllDialogs();
    static bool RefusesDialogs();
    static void AllowDialogs();
    static void SetLabelRefit(wxDialog* dialog, wxWindow* control, const wxString& label);
    // How dialogs are shown; tests replace it to answer them.
    static int (*s_showModal)(wxDialog* dialog);
    static int (*s_messageBox)(const wxString& text, const wxString& caption, long style,
                               wxWindow* parent);

private:
    nsCOMPtr<nsIWindowWatcher> m_windowWatcher;
};
