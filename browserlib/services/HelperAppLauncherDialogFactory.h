#pragma once

#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

// Makes the library's download dialogs.
class HelperAppLauncherDialogFactory : public nsIFactory {
    NS_DECL_ISUPPORTS
public:
    nsresult CreateInstance(nsISupports* outer, const nsIID& iid, void** result) override;
    nsresult LockFactory(PRBool) override { return NS_OK; }
};

nsresult CreateHelperAppLauncherDialogFactory(nsIFactory** result);
