#pragma once

#include "browserlib/runtime/nsEmbeddingInterfaces.h"
#include "browserlib/runtime/xpcom/nsCOMPtr.h"

class WebBrowser;

// A window of a page: the top window of a browser, or one of its sub-frames,
// whose top window is the browser's.
class DOMWindow : public nsIDOMWindow, public nsIScriptGlobalObject {
    NS_DECL_ISUPPORTS
public:
    DOMWindow(WebBrowser* owner, DOMWindow* top) : mOwner(owner), mTop(top) {}

    nsresult GetTop(nsIDOMWindow** top) override;
    nsIDocShell* GetDocShell() override;

    WebBrowser* Owner() const { return mOwner; }
    void Disconnect() { mOwner = nullptr; }

private:
    WebBrowser* mOwner;
    nsCOMPtr<DOMWindow> mTop; // null for the top window itself
};

// The progress source of a load: the browser's window or a sub-frame's.
class WebProgress : public nsIWebProgress {
    NS_DECL_ISUPPORTS
public:
    explicit WebProgress(nsIDOMWindow* window) : mWindow(window) {}
    nsresult GetDOMWindow(nsIDOMWindow** window) override;

private:
    nsCOMPtr<nsIDOMWindow> mWindow;
};
