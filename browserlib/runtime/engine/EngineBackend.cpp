#include "browserlib/runtime/engine/EngineBackend.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string EngineBackend::SelectedName() {
    const char* choice = std::getenv("VELTA_BROWSER_ENGINE");
    return choice && std::string(choice) == "headless" ? "headless" : "webkit";
}

EngineBackend& EngineBackend::Get() {
    static std::unique_ptr<EngineBackend> backend =
        SelectedName() == "headless" ? CreateHeadlessBackend() : CreateWebKitBackend();
    return *backend;
}

void EngineBackend::SetPermissions(const PermissionSettings& settings) {
    m_permissions = settings;
    const std::string origin = PermissionPolicy::OriginOf(settings.applicationOrigin);
    if (!origin.empty())
        m_permissions.applicationOrigin = origin;
}

const PermissionPolicy::Answers& EngineBackend::PermissionAnswers() {
    const std::string file = PermissionFile();
    if (!m_answersRead || file != m_answersFrom) {
        m_answersRead = true;
        m_answersFrom = file;
        m_answers.clear();
        if (!file.empty()) {
            std::ifstream in(file);
            std::ostringstream text;
            text << in.rdbuf();
            m_answers = PermissionPolicy::Parse(text.str());
        }
    }
    return m_answers;
}

void EngineBackend::KeepPermissionAnswer(const std::string& origin, const std::string& kind,
                                         bool allowed) {
    PermissionAnswers();
    m_answers[PermissionPolicy::Key(origin, kind)] = allowed;
    const std::string file = PermissionFile();
    if (file.empty())
        return;
    // Written beside the file and renamed over it: never half a file.
    const std::string temporary = file + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << PermissionPolicy::Format(m_answers);
        if (!out)
            return;
    }
    std::rename(temporary.c_str(), file.c_str());
}
