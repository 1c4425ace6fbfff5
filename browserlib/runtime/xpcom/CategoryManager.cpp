#include "browserlib/runtime/xpcom/CategoryManager.h"

#include "browserlib/runtime/engine/EngineBackend.h"
#include "browserlib/runtime/xpcom/nsMemory.h"

NS_INTERFACE_MAP_BEGIN(CategoryManager)
NS_INTERFACE_MAP_ENTRY(nsICategoryManager)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult CategoryManager::GetCategoryEntry(const char* category, const char* entry, char** value) {
    if (!category || !entry || !value)
        return NS_ERROR_NULL_POINTER;
    *value = nullptr;
    if (std::string(category) != "Gecko-Content-Viewers")
        return NS_ERROR_NOT_AVAILABLE;
    if (!EngineBackend::Get().CanShowMimeType(entry))
        return NS_ERROR_NOT_AVAILABLE;
    *value = nsMemory::CloneString("@mozilla.org/content/document-loader-factory;1");
    return NS_OK;
}
