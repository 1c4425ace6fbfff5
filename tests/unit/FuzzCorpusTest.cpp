// Every input the fuzz targets were seeded with, or ever crashed on, runs
// through the same entry points in the ordinary (and sanitizer) test build.
#include <cstdint>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

extern "C" int VeltaConfigFuzzOne(const uint8_t* data, size_t size);
extern "C" int VeltaUrlFuzzOne(const uint8_t* data, size_t size);

namespace {
std::vector<std::string> Files(const std::string& dir) {
    std::vector<std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                files.push_back(dir + "/" + e->d_name);
        closedir(d);
    }
    return files;
}

void Replay(const std::string& dir, int (*target)(const uint8_t*, size_t)) {
    const std::vector<std::string> files = Files(dir);
    ASSERT_GE(files.size(), 3u) << dir;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        SCOPED_TRACE(file);
        EXPECT_EQ(target(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
    }
}
} // namespace

TEST(FuzzCorpus, ConfigurationInputsReadSafely) {
    Replay(VELTA_SOURCE_DIR "/tests/fuzz/corpus/config", VeltaConfigFuzzOne);
}

TEST(FuzzCorpus, UrlInputsClassifySafely) {
    Replay(VELTA_SOURCE_DIR "/tests/fuzz/corpus/url", VeltaUrlFuzzOne);
}
