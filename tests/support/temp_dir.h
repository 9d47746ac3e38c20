// temp_dir.h -- a scratch folder for a test, removed afterwards, and small file helpers.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir() { std::filesystem::remove_all(path_, ignored_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes bytes to name (folders made as needed) and returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        return write(name, std::string(bytes.begin(), bytes.end()));
    }

private:
    std::string path_;
    std::error_code ignored_;
};

// The working directory set to a folder for as long as this lives.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& path) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

std::string readFileBytes(const std::string& path);
