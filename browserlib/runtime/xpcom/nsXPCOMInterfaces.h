#pragma once

// Interfaces of the runtime's services: components, observers, files and
// directories, preferences, profiles, registry, categories, event queues and
// command parameters.

#include "browserlib/runtime/xpcom/nsCore.h"

class nsIFile;

class nsIFactory : public nsISupports {
public:
    NS_DECLARE_IID(0x9a5ae8fe, 0x69f0, 0x5dd5, 0x99, 0x6a, 0x31, 0xf5, 0x13, 0xfa, 0x11, 0x6d)
    virtual nsresult CreateInstance(nsISupports* outer, const nsIID& iid, void** result) = 0;
    virtual nsresult LockFactory(PRBool lock) = 0;
};

class nsIWeakReference : public nsISupports {
public:
    NS_DECLARE_IID(0xb5b07fec, 0x271f, 0x5fab, 0xba, 0xaa, 0xd6, 0x9b, 0xc8, 0x13, 0x02, 0xf2)
    // The object if it is still alive, queried for `iid`; NS_ERROR_NULL_POINTER when gone.
    virtual nsresult QueryReferent(const nsIID& iid, void** result) = 0;
};

class nsISupportsWeakReference : public nsISupports {
public:
    NS_DECLARE_IID(0xadcb18af, 0xbf73, 0x5089, 0x99, 0xc0, 0x12, 0xca, 0xef, 0x36, 0x95, 0x6e)
    virtual nsresult GetWeakReference(nsIWeakReference** result) = 0;
};

class nsIObserver : public nsISupports {
public:
    NS_DECLARE_IID(0x795a3c24, 0xd4ae, 0x5f0f, 0x8c, 0x1e, 0xa2, 0x53, 0x98, 0xfb, 0xe2, 0x0f)
    virtual nsresult Observe(nsISupports* subject, const char* topic, const PRUnichar* data) = 0;
};

class nsIObserverService : public nsISupports {
public:
    NS_DECLARE_IID(0x1d5cd8ec, 0xa270, 0x5814, 0xb8, 0x2e, 0x13, 0x54, 0xc7, 0xd9, 0xf8, 0x09)
    virtual nsresult AddObserver(nsIObserver* observer, const char* topic, PRBool holdWeak) = 0;
    virtual nsresult RemoveObserver(nsIObserver* observer, const char* topic) = 0;
    virtual nsresult NotifyObservers(nsISupports* subject, const char* topic,
                                     const PRUnichar* data) = 0;
};

class nsIProfileChangeStatus : public nsISupports {
public:
    NS_DECLARE_IID(0x49e676f1, 0x2fba, 0x517d, 0xac, 0xbb, 0x1c, 0xff, 0xda, 0x73, 0xde, 0xdd)
    virtual nsresult VetoChange() = 0;
    virtual nsresult ChangeFailed() = 0;
};

class nsIInterfaceRequestor : public nsISupports {
public:
    NS_DECLARE_IID(0x0b9f3145, 0x859e, 0x5afe, 0xb9, 0xf1, 0xc4, 0x3f, 0xca, 0xf9, 0x9d, 0x2f)
    virtual nsresult GetInterface(const nsIID& iid, void** result) = 0;
};

class nsIFile : public nsISupports {
public:
    NS_DECLARE_IID(0xa04e444d, 0xe1a6, 0x5a86, 0xba, 0x6e, 0x53, 0xe9, 0x3a, 0x81, 0x74, 0xe5)
    enum : PRUint32 { NORMAL_FILE_TYPE = 0, DIRECTORY_TYPE = 1 };
    virtual nsresult Append(const char* node) = 0;
    virtual nsresult AppendRelativePath(const char* path) = 0;
    virtual nsresult GetNativePath(char** path) = 0; // allocated with nsMemory
    virtual nsresult Exists(PRBool* exists) = 0;
    virtual nsresult IsDirectory(PRBool* directory) = 0;
    virtual nsresult Create(PRUint32 type, PRUint32 permissions) = 0;
    virtual nsresult Clone(nsIFile** result) = 0;
};

class nsILocalFile : public nsIFile {
public:
    NS_DECLARE_IID(0x8066b68d, 0x2abe, 0x5707, 0xb8, 0xaf, 0x3f, 0xdf, 0x60, 0xf8, 0xd1, 0x05)
    virtual nsresult InitWithNativePath(const char* path) = 0;
};

class nsIProperties : public nsISupports {
public:
    NS_DECLARE_IID(0x0308aa8a, 0x0dc5, 0x51a7, 0x8e, 0xac, 0x36, 0x29, 0x0d, 0xe8, 0x8a, 0x83)
    virtual nsresult Get(const char* key, const nsIID& iid, void** result) = 0;
};

class nsIDirectoryServiceProvider : public nsISupports {
public:
    NS_DECLARE_IID(0x98612d51, 0x7bf2, 0x59f7, 0xbf, 0xee, 0xb8, 0x8f, 0xeb, 0xc5, 0x09, 0xd9)
    virtual nsresult GetFile(const char* key, PRBool* persistent, nsIFile** result) = 0;
};

class nsICategoryManager : public nsISupports {
public:
    NS_DECLARE_IID(0x9ed2c514, 0x7adb, 0x505e, 0x88, 0xd6, 0x6d, 0x3b, 0xba, 0xa4, 0xa6, 0x93)
    virtual nsresult GetCategoryEntry(const char* category, const char* entry, char** value) = 0;
};

// A unit of work posted to a thread's event queue.
class nsIRunnable : public nsISupports {
public:
    NS_DECLARE_IID(0xaf1bb1e0, 0xd90f, 0x5625, 0xad, 0x38, 0xee, 0xc8, 0xde, 0xd6, 0x9d, 0xc1)
    virtual nsresult Run() = 0;
};

class nsIEventQueue : public nsISupports {
public:
    NS_DECLARE_IID(0x3d2fbbb0, 0xcbe9, 0x54a3, 0xaf, 0x5f, 0x82, 0xce, 0x12, 0x34, 0x07, 0x3b)
    virtual nsresult PostEvent(nsIRunnable* event) = 0;
    virtual nsresult ProcessPendingEvents() = 0;
    virtual nsresult PendingEvents(PRBool* pending) = 0;
};

#define NS_CURRENT_THREAD (reinterpret_cast<void*>(0))
class nsIEventQueueService : public nsISupports {
public:
    NS_DECLARE_IID(0xe6ad06b5, 0xffc1, 0x5309, 0x9a, 0x44, 0x41, 0x8a, 0xb0, 0x7f, 0x9e, 0xc2)
    virtual nsresult GetThreadEventQueue(void* thread, nsIEventQueue** result) = 0;
};

class nsIPref : public nsISupports {
public:
    NS_DECLARE_IID(0x09328e5b, 0x22f9, 0x5ec7, 0xaa, 0xda, 0xda, 0x9e, 0xe1, 0x26, 0xeb, 0x03)
    virtual nsresult GetBoolPref(const char* name, PRBool* value) = 0;
    virtual nsresult SetBoolPref(const char* name, PRBool value) = 0;
    virtual nsresult GetIntPref(const char* name, PRInt32* value) = 0;
    virtual nsresult SetIntPref(const char* name, PRInt32 value) = 0;
    virtual nsresult CopyCharPref(const char* name, char** value) = 0;
    virtual nsresult SetCharPref(const char* name, const char* value) = 0;
    // Writes to `file`, or to the current profile's preference file when null.
    virtual nsresult SavePrefFile(nsIFile* file) = 0;
};

class nsIProfile : public nsISupports {
public:
    NS_DECLARE_IID(0x777acf80, 0xdb2c, 0x50fb, 0xbb, 0x9d, 0x3d, 0x83, 0xe4, 0x3f, 0x13, 0x9c)
    virtual nsresult GetProfileCount(PRInt32* count) = 0;
    virtual nsresult CreateNewProfile(const PRUnichar* name, const PRUnichar* directory,
                                      const PRUnichar* langCode, PRBool useExistingDir) = 0;
    virtual nsresult GetCurrentProfile(PRUnichar** name) = 0;
    virtual nsresult SetCurrentProfile(const PRUnichar* name) = 0;
    // The directory of the current profile.
    virtual nsresult GetCurrentProfileDir(nsIFile** directory) = 0;
};

using nsRegistryKey = PRUint32;
class nsIRegistry : public nsISupports {
public:
    NS_DECLARE_IID(0x9af2bd37, 0x046e, 0x5038, 0x80, 0xbc, 0xc3, 0x86, 0x82, 0x83, 0xff, 0xc8)
    enum : PRUint32 { Common = 2, ApplicationRegistry = 2 };
    virtual nsresult OpenWellKnownRegistry(PRUint32 which) = 0;
    virtual nsresult GetKey(nsRegistryKey base, const PRUnichar* path, nsRegistryKey* key) = 0;
    virtual nsresult AddKey(nsRegistryKey base, const PRUnichar* path, nsRegistryKey* key) = 0;
    virtual nsresult GetInt(nsRegistryKey key, const char* name, PRInt32* value) = 0;
    virtual nsresult SetInt(nsRegistryKey key, const char* name, PRInt32 value) = 0;
};

class nsICommandParams : public nsISupports {
public:
    NS_DECLARE_IID(0xfddf0706, 0x559c, 0x58b5, 0xa8, 0x27, 0xd2, 0xca, 0xed, 0xb4, 0x40, 0x4f)
    virtual nsresult SetISupportsValue(const char* name, nsISupports* value) = 0;
    virtual nsresult GetISupportsValue(const char* name, nsISupports** value) = 0;
};

class nsIDOMWindow;
class nsICommandManager : public nsISupports {
public:
    NS_DECLARE_IID(0x1dab8c9c, 0x02e3, 0x581c, 0x8a, 0x0a, 0xdf, 0x86, 0x8b, 0x48, 0x08, 0x90)
    virtual nsresult DoCommand(const char* command, nsICommandParams* params,
                               nsIDOMWindow* target) = 0;
};
