#include "browserlib/runtime/WindowWatcher.h"

#include "browserlib/runtime/WebBrowser.h"

NS_INTERFACE_MAP_BEGIN(WindowWatcher)
NS_INTERFACE_MAP_ENTRY(nsIWindowWatcher)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult WindowWatcher::SetWindowCreator(nsIWindowCreator* creator) {
    mCreator = creator;
    return NS_OK;
}

nsresult WindowWatcher::GetActiveWindow(nsIDOMWindow** window) {
    if (!window)
        return NS_ERROR_NULL_POINTER;
    *window = mActive.get();
    NS_IF_ADDREF(*window);
    return NS_OK;
}

nsresult WindowWatcher::SetActiveWindow(nsIDOMWindow* window) {
    mActive = window;
    return NS_OK;
}

nsresult WindowWatcher::GetChromeForWindow(nsIDOMWindow* window, nsIWebBrowserChrome** chrome) {
    if (!window || !chrome)
        return NS_ERROR_NULL_POINTER;
    *chrome = nullptr;
    WebBrowser* browser = WebBrowser::FromDOMWindow(window);
    if (!browser)
        return NS_ERROR_FAILURE;
    return browser->GetContainerWindow(chrome);
}

void WindowWatcher::Forget(nsIDOMWindow* window) {
    if (mActive.get() == window)
        mActive = nullptr;
}
