#pragma once

#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

#include <map>
#include <string>
#include <vector>

// The application registry: keys with integer values in a small text file, the
// file the directory service names "AppRegF".
class Registry : public nsIRegistry {
    NS_DECL_ISUPPORTS
public:
    nsresult OpenWellKnownRegistry(PRUint32 which) override;
    nsresult GetKey(nsRegistryKey base, const PRUnichar* path, nsRegistryKey* key) override;
    nsresult AddKey(nsRegistryKey base, const PRUnichar* path, nsRegistryKey* key) override;
    nsresult GetInt(nsRegistryKey key, const char* name, PRInt32* value) override;
    nsresult SetInt(nsRegistryKey key, const char* name, PRInt32 value) override;

    // Opens the file at `path` (tests, and the well-known registry).
    nsresult OpenFile(const std::string& path);

private:
    nsresult Save();

    std::string mPath;
    std::map<std::string, std::map<std::string, PRInt32>> mKeys; // key path -> values
    std::vector<std::string> mKeyIds;                            // key id - 1 -> key path
};
