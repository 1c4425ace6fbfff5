#include "browserlib/runtime/xpcom/Registry.h"

#include "browserlib/runtime/DirectoryService.h"
#include "browserlib/runtime/xpcom/LocalFile.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

NS_INTERFACE_MAP_BEGIN(Registry)
NS_INTERFACE_MAP_ENTRY(nsIRegistry)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult Registry::OpenWellKnownRegistry(PRUint32 which) {
    if (which != ApplicationRegistry)
        return NS_ERROR_INVALID_ARG;
    nsCOMPtr<nsIProperties> directories =
        do_GetService<nsIProperties>("@mozilla.org/file/directory_service;1");
    if (!directories)
        return NS_ERROR_NOT_AVAILABLE;
    nsCOMPtr<nsIFile> file;
    const nsresult rv =
        directories->Get("AppRegF", NS_GET_IID(nsIFile), file.StartAssignmentVoid());
    if (NS_FAILED(rv))
        return rv;
    return OpenFile(LocalFile::PathOf(file));
}

nsresult Registry::OpenFile(const std::string& path) {
    if (path.empty())
        return NS_ERROR_FAILURE;
    mPath = path;
    mKeys.clear();
    mKeyIds.clear();
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        // key<TAB>name<TAB>value
        const size_t a = line.find('\t');
        const size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
        if (b == std::string::npos)
            continue;
        mKeys[line.substr(0, a)][line.substr(a + 1, b - a - 1)] =
            static_cast<PRInt32>(std::strtol(line.c_str() + b + 1, nullptr, 10));
    }
    return NS_OK;
}

nsresult Registry::GetKey(nsRegistryKey base, const PRUnichar* path, nsRegistryKey* key) {
    if (!path || !key)
        return NS_ERROR_NULL_POINTER;
    if (mPath.empty())
        return NS_ERROR_NOT_INITIALIZED;
    if (base != Common)
        return NS_ERROR_INVALID_ARG;
    const std::string name = nsMemory::ToUTF8(path);
    if (!mKeys.count(name))
        return NS_ERROR_FAILURE;
    auto it = std::find(mKeyIds.begin(), mKeyIds.end(), name);
    if (it == mKeyIds.end())
        it = mKeyIds.insert(mKeyIds.end(), name);
    *key = static_cast<nsRegistryKey>(it - mKeyIds.begin() + 1);
    return NS_OK;
}

nsresult Registry::AddKey(nsRegistryKey base, const PRUnichar* path, nsRegistryKey* key) {
    if (!path || !key)
        return NS_ERROR_NULL_POINTER;
    if (mPath.empty())
        return NS_ERROR_NOT_INITIALIZED;
    mKeys[nsMemory::ToUTF8(path)];
    return GetKey(base, path, key);
}

nsresult Registry::GetInt(nsRegistryKey key, const char* name, PRInt32* value) {
    if (!name || !value)
        return NS_ERROR_NULL_POINTER;
    if (key == 0 || key > mKeyIds.size())
        return NS_ERROR_INVALID_ARG;
    const auto& values = mKeys[mKeyIds[key - 1]];
    const auto it = values.find(name);
    if (it == values.end())
        return NS_ERROR_FAILURE;
    *value = it->second;
    return NS_OK;
}

nsresult Registry::SetInt(nsRegistryKey key, const char* name, PRInt32 value) {
    if (!name)
        return NS_ERROR_NULL_POINTER;
    if (key == 0 || key > mKeyIds.size())
        return NS_ERROR_INVALID_ARG;
    mKeys[mKeyIds[key - 1]][name] = value;
    return Save();
}

nsresult Registry::Save() {
    std::ostringstream text;
    for (const auto& [key, values] : mKeys)
        for (const auto& [name, value] : values)
            text << key << '\t' << name << '\t' << value << '\n';
    const std::string temporary = mPath + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << text.str();
        if (!out.flush())
            return NS_ERROR_FAILURE;
    }
    return std::rename(temporary.c_str(), mPath.c_str()) == 0 ? NS_OK : NS_ERROR_FAILURE;
}
