#pragma once

#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsCOMPtr.h"

// Knows the window creator that makes windows pages open, the active window,
// and the chrome around each window.
class WindowWatcher : public nsIWindowWatcher {
    NS_DECL_ISUPPORTS
public:
    nsresult SetWindowCreator(nsIWindowCreator* creator) override;
    nsresult GetActiveWindow(nsIDOMWindow** window) override;
    nsresult SetActiveWindow(nsIDOMWindow* window) override;
    nsresult GetChromeForWindow(nsIDOMWindow* window, nsIWebBrowserChrome** chrome) override;

    nsIWindowCreator* Creator() const { return mCreator; }
    // A window is going away: it is no longer the active one.
    void Forget(nsIDOMWindow* window);

private:
    nsCOMPtr<nsIWindowCreator> mCreator;
    nsCOMPtr<nsIDOMWindow> mActive;
};
