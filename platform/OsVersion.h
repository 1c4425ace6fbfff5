#pragma once

// Operating-system version as the host's defaults need it.
struct OsVersionInfo {
    enum class Family { Windows9x, WindowsNT, Linux, Other };
    Family family = Family::Other;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0; // low 16 bits only
};

class OsVersion {
public:
    // Fills `info` with the running system's version; false when it cannot be told.
    static bool Query(OsVersionInfo& info);
};
