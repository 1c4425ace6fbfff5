#pragma once

#include "browserlib/runtime/xpcom/nsXPCOMInterfaces.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// Preferences of the current profile, kept in its "prefs.js".
class PrefService : public nsIPref {
    NS_DECL_ISUPPORTS
public:
    static constexpr const char* FileName = "prefs.js";

    nsresult GetBoolPref(const char* name, PRBool* value) override;
    nsresult SetBoolPref(const char* name, PRBool value) override;
    nsresult GetIntPref(const char* name, PRInt32* value) override;
    nsresult SetIntPref(const char* name, PRInt32 value) override;
    nsresult CopyCharPref(const char* name, char** value) override;
    nsresult SetCharPref(const char* name, const char* value) override;
    nsresult SavePrefFile(nsIFile* file) override;

    // Switches to the preferences of the profile in `directory` (read from its file).
    void UseProfileDirectory(const std::string& directory);
    // Told of every changed preference, so that the engine can follow.
    void AddChangeCallback(std::function<void(const std::string& name)> callback);

    // The file format: one `user_pref("name", value);` per line.
    struct Value {
        enum class Type { Bool, Int, String } type = Type::String;
        bool b = false;
        int i = 0;
        std::string s;
    };
    static std::string Serialize(const std::map<std::string, Value>& prefs);
    static std::map<std::string, Value> Parse(const std::string& text);

    const std::map<std::string, Value>& Values() const { return mValues; }

private:
    void Changed(const std::string& name);

    std::map<std::string, Value> mValues;
    std::string mDirectory;
    std::vector<std::function<void(const std::string&)>> mCallbacks;
};
