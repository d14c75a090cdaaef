#pragma once

#include <string>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path of a name inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Small file helpers for fixtures.
bool WriteFile(const std::string& path, const std::string& contents);
std::string ReadFile(const std::string& path);
bool MakeDirs(const std::string& path);
bool Exists(const std::string& path);

}  // namespace testsupport
