#include "browserlib/runtime/PrefService.h"

#include "browserlib/runtime/xpcom/LocalFile.h"
#include "browserlib/runtime/xpcom/nsMemory.h"

#include <cstdio>
#include <fstream>
#include <sstream>

NS_INTERFACE_MAP_BEGIN(PrefService)
NS_INTERFACE_MAP_ENTRY(nsIPref)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

namespace {
std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out + "\"";
}

// Reads a quoted string at `i`; false when there is none.
bool Unquote(const std::string& line, size_t& i, std::string& out) {
    while (i < line.size() && line[i] == ' ')
        ++i;
    if (i >= line.size() || line[i] != '"')
        return false;
    for (++i; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
            out += line[i] == 'n' ? '\n' : line[i];
        } else if (line[i] == '"') {
            ++i;
            return true;
        } else {
            out += line[i];
        }
    }
    return false;
}
} // namespace

std::string PrefService::Serialize(const std::map<std::string, Value>& prefs) {
    std::ostringstream out;
    out << "// Preferences of this profile, written by the browser library.\n";
    for (const auto& [name, v] : prefs) {
        out << "user_pref(" << Quote(name) << ", ";
        switch (v.type) {
        case Value::Type::Bool:
            out << (v.b ? "true" : "false");
            break;
        case Value::Type::Int:
            out << v.i;
            break;
        case Value::Type::String:
            out << Quote(v.s);
            break;
        }
        out << ");\n";
    }
    return out.str();
}

std::map<std::string, PrefService::Value> PrefService::Parse(const std::string& text) {
    std::map<std::string, Value> prefs;
    std::istringstream in(text);
    std::string line;
    const std::string head = "user_pref(";
    while (std::getline(in, line)) {
        if (line.compare(0, head.size(), head) != 0)
            continue;
        size_t i = head.size();
        std::string name;
        if (!Unquote(line, i, name))
            continue;
        while (i < line.size() && (line[i] == ' ' || line[i] == ','))
            ++i;
        Value v;
        std::string s;
        size_t j = i;
        if (Unquote(line, j, s)) {
            v.type = Value::Type::String;
            v.s = s;
        } else if (line.compare(i, 4, "true") == 0 || line.compare(i, 5, "false") == 0) {
            v.type = Value::Type::Bool;
            v.b = line.compare(i, 4, "true") == 0;
        } else {
            char* end = nullptr;
            const long n = std::strtol(line.c_str() + i, &end, 10);
            if (end == line.c_str() + i)
                continue;
            v.type = Value::Type::Int;
            v.i = static_cast<int>(n);
        }
        prefs[name] = v;
    }
    return prefs;
}

nsresult PrefService::GetBoolPref(const char* name, PRBool* value) {
    if (!name || !value)
        return NS_ERROR_NULL_POINTER;
    const auto it = mValues.find(name);
    if (it == mValues.end() || it->second.type != Value::Type::Bool)
        return NS_ERROR_FAILURE;
    *value = it->second.b;
    return NS_OK;
}

nsresult PrefService::SetBoolPref(const char* name, PRBool value) {
    if (!name)
        return NS_ERROR_NULL_POINTER;
    Value& v = mValues[name];
    v = Value{};
    v.type = Value::Type::Bool;
    v.b = value;
    Changed(name);
    return NS_OK;
}

nsresult PrefService::GetIntPref(const char* name, PRInt32* value) {
    if (!name || !value)
        return NS_ERROR_NULL_POINTER;
    const auto it = mValues.find(name);
    if (it == mValues.end() || it->second.type != Value::Type::Int)
        return NS_ERROR_FAILURE;
    *value = it->second.i;
    return NS_OK;
}

nsresult PrefService::SetIntPref(const char* name, PRInt32 value) {
    if (!name)
        return NS_ERROR_NULL_POINTER;
    Value& v = mValues[name];
    v = Value{};
    v.type = Value::Type::Int;
    v.i = value;
    Changed(name);
    return NS_OK;
}

nsresult PrefService::CopyCharPref(const char* name, char** value) {
    if (!name || !value)
        return NS_ERROR_NULL_POINTER;
    const auto it = mValues.find(name);
    if (it == mValues.end() || it->second.type != Value::Type::String)
        return NS_ERROR_FAILURE;
    *value = nsMemory::CloneString(it->second.s);
    return NS_OK;
}

nsresult PrefService::SetCharPref(const char* name, const char* value) {
    if (!name || !value)
        return NS_ERROR_NULL_POINTER;
    Value& v = mValues[name];
    v = Value{};
    v.s = value;
    Changed(name);
    return NS_OK;
}

nsresult PrefService::SavePrefFile(nsIFile* file) {
    std::string path = file ? LocalFile::PathOf(file) : std::string();
    if (path.empty()) {
        if (mDirectory.empty())
            return NS_ERROR_NOT_INITIALIZED;
        path = mDirectory + "/" + FileName;
    }
    // Replaced as a whole, never left half-written.
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << Serialize(mValues);
        if (!out.flush())
            return NS_ERROR_FAILURE;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0 ? NS_OK : NS_ERROR_FAILURE;
}

void PrefService::UseProfileDirectory(const std::string& directory) {
    mDirectory = directory;
    std::ifstream in(directory + "/" + FileName);
    std::ostringstream text;
    text << in.rdbuf();
    mValues = Parse(text.str());
    for (const auto& entry : mValues)
        Changed(entry.first);
}

void PrefService::AddChangeCallback(std::function<void(const std::string&)> callback) {
    mCallbacks.push_back(std::move(callback));
}

void PrefService::Changed(const std::string& name) {
    for (auto& callback : mCallbacks)
        callback(name);
}
