#pragma once

#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

#include <string>

// A file system path.
class LocalFile : public nsILocalFile {
    NS_DECL_ISUPPORTS
public:
    explicit LocalFile(std::string path = std::string()) : mPath(std::move(path)) {}
    const std::string& Path() const { return mPath; }

    nsresult Append(const char* node) override;
    nsresult AppendRelativePath(const char* path) override;
    nsresult GetNativePath(char** path) override;
    nsresult Exists(PRBool* exists) override;
    nsresult IsDirectory(PRBool* directory) override;
    nsresult Create(PRUint32 type, PRUint32 permissions) override;
    nsresult Clone(nsIFile** result) override;
    nsresult InitWithNativePath(const char* path) override;

    // The path of any nsIFile, empty when it has none.
    static std::string PathOf(nsIFile* file);

private:
    std::string mPath;
};

nsresult NS_NewNativeLocalFile(const std::string& path, PRBool followLinks, nsILocalFile** result);
