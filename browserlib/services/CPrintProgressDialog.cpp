#include "browserlib/services/CPrintProgressDialog.h"

CPrintProgressDialog::CPrintProgressDialog(wxWindow* parent, nsIWebBrowser* webBrowser,
                                           nsIPrintSettings* settings)
    : wxDialog(parent, 141, wxS("Print Progress"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE),
      m_webBrowser(webBrowser), m_settings(settings) {}

int CPrintProgressDialog::DoModal() {
    nsCOMPtr<nsIWebBrowserPrint> print = do_QueryInterface<nsIWebBrowserPrint>(m_webBrowser);
    nsCOMPtr<CPrintProgressListener> listener = new CPrintProgressListener(this);
    if (!print || !listener || NS_FAILED(print->Print(m_settings, listener))) {
        listener->Detach();
        return 0;
    }
    if (m_ended) { // the engine was done before the dialog could show
        listener->Detach();
        return 1;
    }
    m_started = true;
    const int result = ShowModal();
    listener->Detach();
    return result;
}

void CPrintProgressDialog::OnStartPrinting() {}

void CPrintProgressDialog::OnProgressPrinting(PRInt32, PRInt32) {}

void CPrintProgressDialog::OnEndPrinting(nsresult) {
    m_ended = true;
    if (m_started && IsModal())
        EndModal(1);
}

NS_INTERFACE_MAP_BEGIN(CPrintProgressListener)
NS_INTERFACE_MAP_ENTRY(nsIWebProgressListener)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult CPrintProgressListener::OnStateChange(nsIWebProgress*, nsIRequest*, PRUint32 flags,
                                               nsresult status) {
    if (!m_dialog)
        return NS_OK;
    if (flags == (STATE_START | STATE_IS_DOCUMENT))
        m_dialog->OnStartPrinting();
    else if (flags == (STATE_STOP | STATE_IS_DOCUMENT))
        m_dialog->OnEndPrinting(status);
    return NS_OK;
}

nsresult CPrintProgressListener::OnProgressChange(nsIWebProgress*, nsIRequest*, PRInt32 curSelf,
                                                  PRInt32 maxSelf, PRInt32, PRInt32) {
    if (m_dialog)
        m_dialog->OnProgressPrinting(curSelf, maxSelf);
    return NS_OK;
}
