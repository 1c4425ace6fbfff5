#include "browserlib/profile/winEmbedFileLocProvider.h"

#include "browserlib/runtime/xpcom/LocalFile.h"

#include "browserlib/runtime/xpcom/nsComponentManager.h"

#include <string>
#include <vector>

NS_INTERFACE_MAP_BEGIN(winEmbedFileLocProvider)
NS_INTERFACE_MAP_ENTRY(nsIDirectoryServiceProvider)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

namespace {
nsresult AppendAll(nsIFile* file, const std::vector<const char*>& nodes) {
    for (const char* node : nodes) {
        const nsresult rv = file->AppendRelativePath(node);
        if (NS_FAILED(rv))
            return rv;
    }
    return NS_OK;
}

nsresult EnsureDirectory(nsIFile* directory) {
    PRBool exists = false;
    nsresult rv = directory->Exists(&exists);
    if (NS_SUCCEEDED(rv) && !exists)
        rv = directory->Create(nsIFile::DIRECTORY_TYPE, 0775);
    return rv;
}
} // namespace

winEmbedFileLocProvider::winEmbedFileLocProvider(const char* productDirName) {
    std::strncpy(mProductDirName, productDirName ? productDirName : "",
                 sizeof(mProductDirName) - 1);
    mProductDirName[sizeof(mProductDirName) - 1] = '\0';
}

nsresult winEmbedFileLocProvider::GetFile(const char* key, PRBool* persistent, nsIFile** result) {
    if (persistent)
        *persistent = true;
    if (!result || !key)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    const std::string k = key;
    nsCOMPtr<nsIFile> file;
    nsresult rv = NS_ERROR_FAILURE;
    if (k == "AppRegD") {
        rv = GetProductDirectory(getter_AddRefs(file));
    } else if (k == "AppRegF") {
        rv = GetProductDirectory(getter_AddRefs(file));
        if (NS_SUCCEEDED(rv))
            rv = file->AppendRelativePath("registry.dat");
    } else if (k == "DefProfRt") {
        rv = GetDefaultUserProfileRoot(getter_AddRefs(file));
    } else {
        static const std::pair<const char*, std::vector<const char*>> table[] = {
            {"DefRt", {"defaults"}},
            {"PrfDef", {"defaults", "pref"}},
            {"ProfDefNoLoc", {"defaults", "profile"}},
            {"profDef", {"defaults", "profile"}},
            {"ARes", {"res"}},
            {"AChrom", {"chrome"}},
            {"APlugns", {"plugins"}},
            {"SrchPlugns", {"searchplugins"}},
        };
        for (const auto& [name, nodes] : table) {
            if (k != name)
                continue;
            rv = CloneApplicationDirectory(getter_AddRefs(file));
            if (NS_SUCCEEDED(rv))
                rv = AppendAll(file, nodes);
            break;
        }
    }
    if (NS_FAILED(rv))
        return rv;
    if (!file)
        return NS_ERROR_FAILURE;
    file.forget(result);
    return NS_OK;
}

nsresult winEmbedFileLocProvider::CloneApplicationDirectory(nsIFile** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    if (!mApplicationDirectory) {
        nsresult rv = NS_OK;
        nsCOMPtr<nsIProperties> directories =
            do_GetService<nsIProperties>("@mozilla.org/file/directory_service;1", &rv);
        if (!directories)
            return NS_FAILED(rv) ? rv : NS_ERROR_FAILURE;
        rv = directories->Get("XCurProcD", NS_GET_IID(nsILocalFile),
                              mApplicationDirectory.StartAssignmentVoid());
        if (NS_FAILED(rv))
            rv = directories->Get("CurProcD", NS_GET_IID(nsILocalFile),
                                  mApplicationDirectory.StartAssignmentVoid());
        if (NS_FAILED(rv))
            return rv;
    }
    nsCOMPtr<nsIFile> clone;
    nsresult rv = mApplicationDirectory->Clone(getter_AddRefs(clone));
    if (NS_FAILED(rv))
        return rv;
    nsCOMPtr<nsILocalFile> local = do_QueryInterface<nsILocalFile>(clone);
    if (!local)
        return NS_ERROR_FAILURE;
    clone.forget(result);
    return NS_OK;
}

nsresult winEmbedFileLocProvider::GetProductDirectory(nsIFile** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    nsresult rv = NS_OK;
    nsCOMPtr<nsIProperties> directories =
        do_GetService<nsIProperties>("@mozilla.org/file/directory_service;1", &rv);
    if (!directories)
        return NS_FAILED(rv) ? rv : NS_ERROR_FAILURE;
    nsCOMPtr<nsIFile> directory;
    rv = directories->Get("AppData", NS_GET_IID(nsIFile), directory.StartAssignmentVoid());
    PRBool exists = false;
    if (NS_SUCCEEDED(rv))
        directory->Exists(&exists);
    if (NS_FAILED(rv) || !exists) {
        rv = directories->Get("WinD", NS_GET_IID(nsIFile), directory.StartAssignmentVoid());
        if (NS_FAILED(rv))
            return rv;
    }
    rv = directory->AppendRelativePath(mProductDirName);
    if (NS_FAILED(rv))
        return rv;
    rv = EnsureDirectory(directory);
    if (NS_FAILED(rv))
        return rv;
    directory.forget(result);
    return NS_OK;
}

namespace {
std::string& ProfileRoot() {
    static std::string root;
    return root;
}
} // namespace

void winEmbedFileLocProvider::SetProfileRoot(const std::string& directory) {
    ProfileRoot() = directory;
}

nsresult winEmbedFileLocProvider::GetDefaultUserProfileRoot(nsIFile** result) {
    if (!ProfileRoot().empty()) {
        nsCOMPtr<nsILocalFile> local;
        nsresult rv = NS_NewNativeLocalFile(ProfileRoot(), true, getter_AddRefs(local));
        if (NS_FAILED(rv))
            return rv;
        nsCOMPtr<nsIFile> root = local.get();
        rv = EnsureDirectory(root);
        if (NS_FAILED(rv))
            return rv;
        root.forget(result);
        return NS_OK;
    }
    nsCOMPtr<nsIFile> directory;
    nsresult rv = GetProductDirectory(getter_AddRefs(directory));
    if (NS_FAILED(rv))
        return rv;
    rv = directory->AppendRelativePath("Profiles");
    if (NS_FAILED(rv))
        return rv;
    rv = EnsureDirectory(directory);
    if (NS_FAILED(rv))
        return rv;
    directory.forget(result);
    return NS_OK;
}
