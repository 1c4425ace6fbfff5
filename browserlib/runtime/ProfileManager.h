#pragma once

#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

#include <string>
#include <vector>

// User profiles, each a directory below the profile root ("DefProfRt") that
// holds the preferences and the engine's website data. The list and the
// current profile are kept in "profiles.ini" in the root.
class ProfileManager : public nsIProfile {
    NS_DECL_ISUPPORTS
public:
    static constexpr const char* ListFile = "profiles.ini";

    nsresult GetProfileCount(PRInt32* count) override;
    nsresult CreateNewProfile(const PRUnichar* name, const PRUnichar* directory,
                              const PRUnichar* langCode, PRBool useExistingDir) override;
    nsresult GetCurrentProfile(PRUnichar** name) override;
    nsresult SetCurrentProfile(const PRUnichar* name) override;
    nsresult GetCurrentProfileDir(nsIFile** directory) override;

    // The directory of the profile in use in this process; empty before one is.
    static std::string ActiveDirectory();

private:
    struct Profile {
        std::string name;
        std::string directory;
    };
    nsresult Load();
    nsresult Save();
    const Profile* Find(const std::string& name) const;

    bool mLoaded = false;
    std::string mRoot;
    std::vector<Profile> mProfiles;
    std::string mCurrent; // as recorded in the list file
    std::string mActive;  // in use in this process
};
