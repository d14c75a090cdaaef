#include "file/ReplacingFile.h"

#include "platform/FileSystem.h"

namespace file {

ReplacingFile::~ReplacingFile() {
    Abandon();
}

std::string ReplacingFile::TemporaryPath(const std::string& finalPath) {
    const size_t slash = finalPath.rfind('/');
    const size_t name = slash == std::string::npos ? 0 : slash + 1;
    return finalPath.substr(0, name) + "." + finalPath.substr(name) + kSuffix;
}

bool ReplacingFile::Open(const std::string& path) {
    Abandon();
    finalPath = path;
    tempPath = TemporaryPath(path);
    // A leftover of a cut (or a link someone placed there) goes first; "x" then refuses anything
    // that still stands there, so the data never goes through a link.
    platform::Remove(tempPath);
    if (!file.Open(tempPath, "wx")) {
        tempPath.clear();
        return false;
    }
    return true;
}

bool ReplacingFile::Commit() {
    if (!file.IsOpen())
        return false;
    const bool synced = file.Sync();
    const bool closed = file.Close();
    if (!synced || !closed || platform::Rename(tempPath, finalPath) != 0) {
        platform::Remove(tempPath);
        tempPath.clear();
        return false;
    }
    tempPath.clear();
    return true;
}

void ReplacingFile::Abandon() {
    if (tempPath.empty())
        return;
    file.Close();
    platform::Remove(tempPath);
    tempPath.clear();
}

}  // namespace file
