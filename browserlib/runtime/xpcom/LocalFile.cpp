#include "browserlib/runtime/xpcom/LocalFile.h"

#include "browserlib/runtime/xpcom/nsMemory.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

NS_INTERFACE_MAP_BEGIN(LocalFile)
NS_INTERFACE_MAP_ENTRY(nsILocalFile)
NS_INTERFACE_MAP_ENTRY(nsIFile)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

nsresult LocalFile::Append(const char* node) {
    if (!node || !*node || std::strchr(node, '/'))
        return NS_ERROR_ILLEGAL_VALUE;
    return AppendRelativePath(node);
}

nsresult LocalFile::AppendRelativePath(const char* path) {
    if (!path || !*path || path[0] == '/')
        return NS_ERROR_ILLEGAL_VALUE;
    if (!mPath.empty() && mPath.back() != '/')
        mPath += '/';
    mPath += path;
    return NS_OK;
}

nsresult LocalFile::GetNativePath(char** path) {
    if (!path)
        return NS_ERROR_NULL_POINTER;
    *path = nsMemory::CloneString(mPath);
    return NS_OK;
}

nsresult LocalFile::Exists(PRBool* exists) {
    if (!exists)
        return NS_ERROR_NULL_POINTER;
    struct stat st;
    *exists = stat(mPath.c_str(), &st) == 0;
    return NS_OK;
}

nsresult LocalFile::IsDirectory(PRBool* directory) {
    if (!directory)
        return NS_ERROR_NULL_POINTER;
    struct stat st;
    if (stat(mPath.c_str(), &st) != 0)
        return NS_ERROR_FILE_NOT_FOUND;
    *directory = S_ISDIR(st.st_mode);
    return NS_OK;
}

nsresult LocalFile::Create(PRUint32 type, PRUint32 permissions) {
    if (type == DIRECTORY_TYPE) {
        if (mkdir(mPath.c_str(), permissions) != 0 && errno != EEXIST)
            return NS_ERROR_FAILURE;
        return NS_OK;
    }
    const int fd = open(mPath.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, permissions);
    if (fd < 0)
        return NS_ERROR_FAILURE;
    close(fd);
    return NS_OK;
}

nsresult LocalFile::Clone(nsIFile** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = new LocalFile(mPath);
    (*result)->AddRef();
    return NS_OK;
}

nsresult LocalFile::InitWithNativePath(const char* path) {
    if (!path)
        return NS_ERROR_NULL_POINTER;
    mPath = path;
    return NS_OK;
}

std::string LocalFile::PathOf(nsIFile* file) {
    char* path = nullptr;
    if (!file || NS_FAILED(file->GetNativePath(&path)) || !path)
        return std::string();
    std::string result = path;
    nsMemory::Free(path);
    return result;
}

nsresult NS_NewNativeLocalFile(const std::string& path, PRBool, nsILocalFile** result) {
    if (!result)
        return NS_ERROR_NULL_POINTER;
    *result = new LocalFile(path);
    (*result)->AddRef();
    return NS_OK;
}
