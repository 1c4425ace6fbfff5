#pragma once

#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

// Starts and stops the embedding runtime. Calls nest: only the last stop that
// matches a start shuts the runtime down.
class EmbeddingRuntime {
public:
    static bool IsUp();
    static int Depth();
    // For tests: make the next start fail, as a runtime that cannot start would.
    static void FailNextStart(bool fail);
};

// `binDirectory` is unused (the engine is part of the program); `provider`
// answers the directory questions before the runtime's own defaults.
nsresult NS_InitEmbedding(nsILocalFile* binDirectory, nsIDirectoryServiceProvider* provider);
nsresult NS_TermEmbedding();
