#include "browserlib/runtime/xpcom/SimpleURI.h"

#include "browserlib/runtime/xpcom/nsMemory.h"

NS_INTERFACE_MAP_BEGIN(SimpleURI)
NS_INTERFACE_MAP_ENTRY(nsIURI)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult SimpleURI::GetSpec(char** spec) {
    if (!spec)
        return NS_ERROR_NULL_POINTER;
    *spec = nsMemory::CloneString(mSpec);
    return NS_OK;
}

NS_INTERFACE_MAP_BEGIN(NamedRequest)
NS_INTERFACE_MAP_ENTRY(nsIRequest)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult NamedRequest::GetName(char** name) {
    if (!name)
        return NS_ERROR_NULL_POINTER;
    *name = nsMemory::CloneString(mName);
    return NS_OK;
}
