#include "browserlib/runtime/CommandParams.h"

NS_INTERFACE_MAP_BEGIN(CommandParams)
NS_INTERFACE_MAP_ENTRY(nsICommandParams)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult CommandParams::SetISupportsValue(const char* name, nsISupports* value) {
    if (!name)
        return NS_ERROR_NULL_POINTER;
    mValues[name] = value;
    return NS_OK;
}

nsresult CommandParams::GetISupportsValue(const char* name, nsISupports** value) {
    if (!name || !value)
        return NS_ERROR_NULL_POINTER;
    *value = nullptr;
    const auto it = mValues.find(name);
    if (it == mValues.end())
        return NS_ERROR_FAILURE;
    *value = it->second.get();
    NS_IF_ADDREF(*value);
    return NS_OK;
}
