#include "browserlib/runtime/ProfileManager.h"

#include "browserlib/runtime/PrefService.h"
#include "browserlib/runtime/engine/EngineBackend.h"
#include "browserlib/runtime/xpcom/LocalFile.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"
#include "browserlib/runtime/xpcom/nsMemory.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {
std::string g_activeDirectory;

// The subject of "profile-approve-change": any observer may veto.
class ProfileChangeStatus : public nsIProfileChangeStatus {
    NS_DECL_ISUPPORTS
public:
    nsresult VetoChange() override {
        vetoed = true;
        return NS_OK;
    }
    nsresult ChangeFailed() override { return NS_OK; }
    bool vetoed = false;
};
} // namespace

NS_INTERFACE_MAP_BEGIN(ProfileChangeStatus)
NS_INTERFACE_MAP_ENTRY(nsIProfileChangeStatus)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

NS_INTERFACE_MAP_BEGIN(ProfileManager)
NS_INTERFACE_MAP_ENTRY(nsIProfile)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

std::string ProfileManager::ActiveDirectory() {
    return g_activeDirectory;
}

nsresult ProfileManager::Load() {
    if (mLoaded)
        return NS_OK;
    nsCOMPtr<nsIProperties> directories =
        do_GetService<nsIProperties>("@mozilla.org/file/directory_service;1");
    if (!directories)
        return NS_ERROR_NOT_AVAILABLE;
    nsCOMPtr<nsIFile> root;
    const nsresult rv =
        directories->Get("DefProfRt", NS_GET_IID(nsIFile), root.StartAssignmentVoid());
    if (NS_FAILED(rv))
        return rv;
    mRoot = LocalFile::PathOf(root);
    mkdir(mRoot.c_str(), 0775);
    std::ifstream in(mRoot + "/" + ListFile);
    std::string line;
    while (std::getline(in, line)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "current")
            mCurrent = value;
        else if (key.compare(0, 8, "profile.") == 0)
            mProfiles.push_back({key.substr(8), value});
    }
    mLoaded = true;
    return NS_OK;
}

nsresult ProfileManager::Save() {
    std::ostringstream text;
    text << "current=" << mCurrent << "\n";
    for (const Profile& p : mProfiles)
        text << "profile." << p.name << "=" << p.directory << "\n";
    const std::string path = mRoot + "/" + ListFile, temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << text.str();
        if (!out.flush())
            return NS_ERROR_FAILURE;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0 ? NS_OK : NS_ERROR_FAILURE;
}

const ProfileManager::Profile* ProfileManager::Find(const std::string& name) const {
    for (const Profile& p : mProfiles)
        if (p.name == name)
            return &p;
    return nullptr;
}

nsresult ProfileManager::GetProfileCount(PRInt32* count) {
    if (!count)
        return NS_ERROR_NULL_POINTER;
    const nsresult rv = Load();
    if (NS_FAILED(rv))
        return rv;
    *count = static_cast<PRInt32>(mProfiles.size());
    return NS_OK;
}

nsresult ProfileManager::CreateNewProfile(const PRUnichar* name, const PRUnichar* directory,
                                          const PRUnichar*, PRBool useExistingDir) {
    if (!name || !*name)
        return NS_ERROR_INVALID_ARG;
    nsresult rv = Load();
    if (NS_FAILED(rv))
        return rv;
    const std::string profileName = nsMemory::ToUTF8(name);
    if (Find(profileName) || profileName.find_first_of("/=\n") != std::string::npos)
        return NS_ERROR_FAILURE;
    std::string dir =
        directory && *directory ? nsMemory::ToUTF8(directory) : mRoot + "/" + profileName;
    struct stat st;
    if (stat(dir.c_str(), &st) == 0 && !useExistingDir && !S_ISDIR(st.st_mode))
        return NS_ERROR_FAILURE;
    if (mkdir(dir.c_str(), 0700) != 0 && stat(dir.c_str(), &st) != 0)
        return NS_ERROR_FAILURE;
    mProfiles.push_back({profileName, dir});
    if (mProfiles.size() == 1) {
        // A new installation does not ask which profile to use.
        nsCOMPtr<nsIRegistry> registry = do_CreateInstance<nsIRegistry>("@mozilla.org/registry;1");
        nsRegistryKey key = 0;
        if (registry &&
            NS_SUCCEEDED(registry->OpenWellKnownRegistry(nsIRegistry::ApplicationRegistry)) &&
            NS_SUCCEEDED(registry->AddKey(nsIRegistry::Common, u"global-prefs", &key)))
            registry->SetInt(key, "start-show-dialog", 0);
    }
    return Save();
}

nsresult ProfileManager::GetCurrentProfile(PRUnichar** name) {
    if (!name)
        return NS_ERROR_NULL_POINTER;
    const nsresult rv = Load();
    if (NS_FAILED(rv))
        return rv;
    const std::string& current = mActive.empty() ? mCurrent : mActive;
    if (current.empty() || !Find(current))
        return NS_ERROR_FAILURE;
    *name = nsMemory::CloneUnicode(nsMemory::ToUTF16(current));
    return NS_OK;
}

nsresult ProfileManager::SetCurrentProfile(const PRUnichar* name) {
    if (!name)
        return NS_ERROR_NULL_POINTER;
    nsresult rv = Load();
    if (NS_FAILED(rv))
        return rv;
    const std::string profileName = nsMemory::ToUTF8(name);
    const Profile* profile = Find(profileName);
    if (!profile)
        return NS_ERROR_FAILURE;
    if (profileName == mActive)
        return NS_OK;
    const Profile target = *profile;

    nsCOMPtr<nsIObserverService> observers =
        do_GetService<nsIObserverService>("@mozilla.org/observer-service;1");
    if (!mActive.empty() && observers) {
        nsCOMPtr<ProfileChangeStatus> status = new ProfileChangeStatus;
        observers->NotifyObservers(static_cast<nsIProfileChangeStatus*>(status.get()),
                                   "profile-approve-change", u"switch");
        if (status->vetoed)
            return NS_ERROR_ABORT;
        observers->NotifyObservers(nullptr, "profile-change-teardown", u"switch");
    }
    mActive = target.name;
    mCurrent = target.name;
    g_activeDirectory = target.directory;
    nsCOMPtr<nsIPref> prefs = do_GetService<nsIPref>("@mozilla.org/preferences;1");
    if (auto* service = dynamic_cast<PrefService*>(prefs.get()))
        service->UseProfileDirectory(target.directory);
    EngineBackend::Get().UseProfileDirectory(target.directory);
    Save();
    if (observers)
        observers->NotifyObservers(nullptr, "profile-after-change", u"switch");
    return NS_OK;
}

nsresult ProfileManager::GetCurrentProfileDir(nsIFile** directory) {
    if (!directory)
        return NS_ERROR_NULL_POINTER;
    if (mActive.empty())
        return NS_ERROR_NOT_INITIALIZED;
    *directory = new LocalFile(g_activeDirectory);
    (*directory)->AddRef();
    return NS_OK;
}
