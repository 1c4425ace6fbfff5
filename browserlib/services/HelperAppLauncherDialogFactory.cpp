#include "browserlib/services/HelperAppLauncherDialogFactory.h"

#include "browserlib/services/HelperAppLauncherDialog.h"

#include <new>

NS_INTERFACE_MAP_BEGIN(HelperAppLauncherDialogFactory)
NS_INTERFACE_MAP_ENTRY(nsIFactory)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult HelperAppLauncherDialogFactory::CreateInstance(nsISupports*, const nsIID& iid,
                                                        void** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    auto* dialog = new (std::nothrow) HelperAppLauncherDialog;
    if (!dialog)
        return NS_ERROR_OUT_OF_MEMORY;
    dialog->AddRef();
    const nsresult rv = dialog->QueryInterface(iid, result);
    dialog->Release();
    return rv;
}

nsresult CreateHelperAppLauncherDialogFactory(nsIFactory** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = new (std::nothrow) HelperAppLauncherDialogFactory;
    if (!*result)
        return NS_ERROR_OUT_OF_MEMORY;
    (*result)->AddRef();
    return NS_OK;
}
