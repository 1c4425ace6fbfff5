#pragma once

#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

// Categories of the runtime. "Gecko-Content-Viewers" lists the content types
// the engine can show, answered by the engine itself.
class CategoryManager : public nsICategoryManager {
    NS_DECL_ISUPPORTS
public:
    nsresult GetCategoryEntry(const char* category, const char* entry, char** value) override;
};
