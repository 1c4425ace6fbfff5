#include "browserlib/runtime/DOMWindow.h"

#include "browserlib/runtime/WebBrowser.h"

NS_INTERFACE_MAP_BEGIN(DOMWindow)
NS_INTERFACE_MAP_ENTRY(nsIDOMWindow)
NS_INTERFACE_MAP_ENTRY(nsIScriptGlobalObject)
NS_INTERFACE_MAP_ENTRY_AMBIGUOUS(nsISupports, nsIDOMWindow)
NS_INTERFACE_MAP_END

nsresult DOMWindow::GetTop(nsIDOMWindow** top) {
    if (!top)
        return NS_ERROR_NULL_POINTER;
    *top = mTop ? static_cast<nsIDOMWindow*>(mTop.get()) : static_cast<nsIDOMWindow*>(this);
    (*top)->AddRef();
    return NS_OK;
}

nsIDocShell* DOMWindow::GetDocShell() {
    return mOwner ? static_cast<nsIDocShell*>(mOwner) : nullptr;
}

NS_INTERFACE_MAP_BEGIN(WebProgress)
NS_INTERFACE_MAP_ENTRY(nsIWebProgress)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult WebProgress::GetDOMWindow(nsIDOMWindow** window) {
    if (!window)
        return NS_ERROR_NULL_POINTER;
    *window = mWindow.get();
    NS_IF_ADDREF(*window);
    return NS_OK;
}
