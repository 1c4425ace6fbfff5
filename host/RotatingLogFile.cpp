#include "host/RotatingLogFile.h"

#include <cstdio>
#include <sys/stat.h>

RotatingLogFile::RotatingLogFile(const std::string& path, long long limitBytes)
    : m_path(path), m_limit(limitBytes > 0 ? limitBytes : kDefaultLimitBytes) {}

RotatingLogFile::~RotatingLogFile() {
    if (m_file)
        std::fclose(m_file);
}

std::string RotatingLogFile::OlderName(const std::string& path, int n) {
    return path + "." + std::to_string(n);
}

bool RotatingLogFile::Open() {
    if (m_file)
        return true;
    m_file = std::fopen(m_path.c_str(), "a");
    if (!m_file)
        return false;
    struct stat st;
    m_size = fstat(fileno(m_file), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
    return true;
}

void RotatingLogFile::Rotate() {
    std::fclose(m_file);
    m_file = nullptr;
    std::remove(OlderName(m_path, kKeptFiles).c_str());
    for (int n = kKeptFiles - 1; n >= 1; --n)
        std::rename(OlderName(m_path, n).c_str(), OlderName(m_path, n + 1).c_str());
    std::rename(m_path.c_str(), OlderName(m_path, 1).c_str());
    m_file = std::fopen(m_path.c_str(), "a");
    m_size = 0;
}

void RotatingLogFile::Write(const std::string& text) {
    if (!m_file)
        return;
    if (m_size > 0 && m_size + static_cast<long long>(text.size()) > m_limit) {
        Rotate();
        if (!m_file)
            return;
    }
    if (std::fwrite(text.data(), 1, text.size(), m_file) == text.size())
        m_size += static_cast<long long>(text.size());
    std::fflush(m_file);
}
