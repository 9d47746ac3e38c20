// temp_dir.cpp -- scratch folders for tests.
#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

TempDir::TempDir() {
    char pattern[] = "/tmp/mudlark-test-XXXXXX";
    path_ = mkdtemp(pattern) != nullptr ? pattern : throw std::runtime_error("no scratch folder");
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    const std::string full = file(name);
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
}

std::string readFileBytes(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}
