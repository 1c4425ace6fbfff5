#include "browserlib/services/PromptServiceFactory.h"

#include "browserlib/services/CPromptService.h"
#include "browserlib/services/PromptResources.h"

#include <new>
#include <wx/xrc/xmlres.h>

NS_INTERFACE_MAP_BEGIN(PromptServiceFactory)
NS_INTERFACE_MAP_ENTRY(nsIFactory)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult PromptServiceFactory::CreateInstance(nsISupports*, const nsIID& iid, void** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    auto* service = new (std::nothrow) CPromptService;
    if (!service)
        return NS_ERROR_OUT_OF_MEMORY;
    service->AddRef();
    const nsresult rv = service->QueryInterface(iid, result);
    service->Release();
    return rv;
}

nsresult CreatePromptService(nsIFactory** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    wxXmlResource::Get()->InitAllHandlers();
    PromptResources::Install();
    *result = new (std::nothrow) PromptServiceFactory;
    if (!*result)
        return NS_ERROR_OUT_OF_MEMORY;
    (*result)->AddRef();
    return NS_OK;
}
