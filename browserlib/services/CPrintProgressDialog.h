#pragma once

#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsCOMPtr.h"

#include <wx/dialog.h>

// Shown while a page prints; blocks the user interface until the engine
// reports the end of the printed document.
class CPrintProgressDialog : public wxDialog {
public:
    CPrintProgressDialog(wxWindow* parent, nsIWebBrowser* webBrowser, nsIPrintSettings* settings);

    virtual int DoModal();
    virtual void OnStartPrinting();
    virtual void OnProgressPrinting(PRInt32 current, PRInt32 maximum);
    virtual void OnEndPrinting(nsresult status);

    bool Started() const { return m_started; }

private:
    nsCOMPtr<nsIWebBrowser> m_webBrowser;
    nsCOMPtr<nsIPrintSettings> m_settings;
    bool m_started = false;
    bool m_ended = false;
};

// Hands the engine's print progress to its dialog.
class CPrintProgressListener : public nsIWebProgressListener {
    NS_DECL_ISUPPORTS
public:
    explicit CPrintProgressListener(CPrintProgressDialog* dialog) : m_dialog(dialog) {}
    void Detach() { m_dialog = nullptr; }

    nsresult OnStateChange(nsIWebProgress* progress, nsIRequest* request, PRUint32 stateFlags,
                           nsresult status) override;
    nsresult OnProgressChange(nsIWebProgress* progress, nsIRequest* request, PRInt32 curSelf,
                              PRInt32 maxSelf, PRInt32 curTotal, PRInt32 maxTotal) override;
    nsresult OnLocationChange(nsIWebProgress*, nsIRequest*, nsIURI*) override { return NS_OK; }
    nsresult OnStatusChange(nsIWebProgress*, nsIRequest*, nsresult, const PRUnichar*) override {
        return NS_OK;
    }
    nsresult OnSecurityChange(nsIWebProgress*, nsIRequest*, PRUint32) override { return NS_OK; }

private:
    CPrintProgressDialog* m_dialog;
};
