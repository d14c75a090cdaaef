#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>
#include <string>

#include <dirent.h>

// The program's path calls. Every absolute path the program opens, lists, creates, links, removes
// or changes goes through these, so that the installed backend can translate it; each one
// behaves like the C library or system call of the same meaning.
namespace platform {

FILE* OpenStream(const std::string& path, const char* mode);
int CloseStream(FILE* stream);
int TruncateStream(FILE* stream, off_t length);
// fflush and fsync: the stream's contents are on the medium when this returns 0.
int SyncStream(FILE* stream);
int Rename(const std::string& from, const std::string& to);
int SyncDirectory(const std::string& path);

int Stat(const std::string& path, struct stat* info);
int Lstat(const std::string& path, struct stat* info);
int MakeDirectory(const std::string& path, mode_t mode);
DIR* OpenDirectory(const std::string& path);
int Unlink(const std::string& path);
int Remove(const std::string& path);
// The link's target is stored as given: it is a path on the device, not translated.
int MakeSymlink(const std::string& target, const std::string& path);
ssize_t ReadLink(const std::string& path, char* buffer, size_t size);
int MakeNode(const std::string& path, mode_t mode, dev_t device);
int ChangeMode(const std::string& path, mode_t mode);

}  // namespace platform
