#pragma once

#include "browserlib/runtime/xpcom/nsCOMPtr.h"
#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

#include <map>
#include <string>

// Named values that accompany a command.
class CommandParams : public nsICommandParams {
    NS_DECL_ISUPPORTS
public:
    nsresult SetISupportsValue(const char* name, nsISupports* value) override;
    nsresult GetISupportsValue(const char* name, nsISupports** value) override;

private:
    std::map<std::string, nsCOMPtr<nsISupports>> mValues;
};
