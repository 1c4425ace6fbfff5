#include "platform/OsVersion.h"

#include <cstdio>
#include <sys/utsname.h>

bool OsVersion::Query(OsVersionInfo& info) {
    struct utsname name;
    if (uname(&name) != 0)
        return false;
    info = OsVersionInfo{};
    info.family = OsVersionInfo::Family::Linux;
    unsigned major = 0, minor = 0, build = 0;
    std::sscanf(name.release, "%u.%u.%u", &major, &minor, &build);
    info.major = major;
    info.minor = minor;
    info.build = build & 0xFFFF;
    return true;
}
