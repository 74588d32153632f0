// Adds a directory tree to a kit: every regular file below the root, named
// relative to it with "\" separators, in a deterministic depth-first order.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "fs/path.h"
#include "kit/kit_name.h"
#include "kit/kit_writer.h"

namespace kit {

namespace {

bool ListDirectory(const std::string& dir, std::vector<std::string>* names, std::string* error) {
    DIR* stream = ::opendir(dir.c_str());
    if (!stream) {
        if (error)
            *error = "cannot read directory " + dir + ": " + std::strerror(errno);
        return false;
    }
    errno = 0;
    while (struct dirent* entry = ::readdir(stream)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names->push_back(name);
        errno = 0;
    }
    int readError = errno;
    ::closedir(stream);
    if (readError != 0) {
        if (error)
            *error = "cannot read directory " + dir + ": " + std::strerror(readError);
        return false;
    }
    std::sort(names->begin(), names->end());
    return true;
}

bool AddDirectory(KitWriter& writer, const std::string& dir, const std::string& relative,
                  std::string* error) {
    std::vector<std::string> names;
    if (!ListDirectory(dir, &names, error))
        return false;
    for (const std::string& name : names) {
        const std::string path = fspath::Join(dir, name);
        std::string rel = relative.empty() ? name : relative + "\\" + name;
        if (name.find('\\') != std::string::npos) {
            if (error)
                *error = path + ": names with a backslash cannot be stored in a kit";
            return false;
        }
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) {
            if (error)
                *error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        if (S_ISDIR(st.st_mode)) {
            if (!AddDirectory(writer, path, rel, error))
                return false;
            continue;
        }
        if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0) {
            if (error)
                *error = "cannot follow link " + path + ": " + std::strerror(errno);
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            if (error)
                *error = path + ": only regular files and directories can be stored";
            return false;
        }
        stdx::basic_string<char16_t> name16;
        if (!Utf8ToUtf16(rel, &name16)) {
            if (error)
                *error = path + ": file name is not valid UTF-8";
            return false;
        }
        if (!writer.AddDiskFile(name16, path, error))
            return false;
    }
    return true;
}

}  // namespace

bool KitWriter::AddTree(const std::string& dir, std::string* error) {
    const std::string root = fspath::WithoutTrailingSeparators(dir);
    struct stat st;
    if (::stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (error)
            *error = root + ": not a readable directory";
        return false;
    }
    return AddDirectory(*this, root, std::string(), error);
}

}  // namespace kit
