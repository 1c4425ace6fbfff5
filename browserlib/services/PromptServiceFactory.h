#pragma once

#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

// Makes the library's prompt services.
class PromptServiceFactory : public nsIFactory {
    NS_DECL_ISUPPORTS
public:
    nsresult CreateInstance(nsISupports* outer, const nsIID& iid, void** result) override;
    nsresult LockFactory(PRBool) override { return NS_OK; }
};

// The factory for the prompt-service contract; installs the dialog resources.
nsresult CreatePromptService(nsIFactory** result);
