#pragma once

#include <cstdio>
#include <string>

// The log file, bounded: when a line would take it past its limit it becomes
// "NAME.1" (an older "NAME.1" becomes "NAME.2", the oldest goes) and a new
// file starts, so the log never holds more than about three times the limit.
class RotatingLogFile {
public:
    static constexpr long long kDefaultLimitBytes = 8LL << 20;
    static constexpr int kKeptFiles = 2;

    explicit RotatingLogFile(const std::string& path, long long limitBytes = kDefaultLimitBytes);
    ~RotatingLogFile();
    RotatingLogFile(const RotatingLogFile&) = delete;
    RotatingLogFile& operator=(const RotatingLogFile&) = delete;

    // Opens for appending; false when the file cannot be written.
    bool Open();
    bool IsOpen() const { return m_file != nullptr; }
    // Writes `text` (whole lines) and flushes it.
    void Write(const std::string& text);
    const std::string& Path() const { return m_path; }
    // The name of the `n`th older file (1 the newest).
    static std::string OlderName(const std::string& path, int n);

private:
    void Rotate();

    std::string m_path;
    long long m_limit;
    long long m_size = 0;
    FILE* m_file = nullptr;
};
