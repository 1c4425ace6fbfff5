#include "browserlib/runtime/DirectoryService.h"

#include "browserlib/runtime/xpcom/LocalFile.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

NS_INTERFACE_MAP_BEGIN(DirectoryService)
NS_INTERFACE_MAP_ENTRY(nsIProperties)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

namespace {
std::string Home() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}
} // namespace

std::string DirectoryService::BuiltIn(const std::string& key) {
    if (key == "AppData") {
        if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
            return data;
        return Home() + "/.local/share";
    }
    if (key == "WinD" || key == "Home")
        return Home();
    if (key == "XCurProcD" || key == "CurProcD") {
        char exe[PATH_MAX];
        const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
        if (n <= 0)
            return std::string();
        std::string path(exe, static_cast<size_t>(n));
        return path.substr(0, path.rfind('/'));
    }
    if (key == "TmpD") {
        const char* tmp = std::getenv("TMPDIR");
        return tmp && *tmp ? tmp : "/tmp";
    }
    return std::string();
}

nsresult DirectoryService::Get(const char* key, const nsIID& iid, void** result) {
    if (!key || !result)
        return NS_ERROR_NULL_POINTER;
    *result = nullptr;
    if (mProvider) {
        PRBool persistent = true;
        nsCOMPtr<nsIFile> file;
        if (NS_SUCCEEDED(mProvider->GetFile(key, &persistent, getter_AddRefs(file))) && file)
            return file->QueryInterface(iid, result);
    }
    const std::string path = BuiltIn(key);
    if (path.empty())
        return NS_ERROR_FAILURE;
    nsCOMPtr<nsIFile> file = new LocalFile(path);
    return file->QueryInterface(iid, result);
}
