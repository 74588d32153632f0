// Path helpers shared by every folder: trailing separators, joining a name to
// a directory, the parent and the last name of a path, and whether one
// directory holds another.
// Written once here so that a directory given with or without its last
// separator means the same everywhere.
//
// Two forms of path meet these helpers. The system's own paths are 16-bit
// strings with "/" as separator; a directory that a user or a launcher file
// names may also end with "\", which counts as its last separator there. The
// 8-bit form is the native path the system calls take, in which "\" is an
// ordinary character. Inside a path only "/" separates names in both forms.
#pragma once
#include <cstddef>

#include "text/basic_string.h"

namespace fspath {

inline bool IsTrailingSeparator(char16_t c) {
    return c == u'/' || c == u'\\';
}
inline bool IsTrailingSeparator(char c) {
    return c == '/';
}

template <class S>
bool EndsWithSeparator(const S& path) {
    return !path.empty() && IsTrailingSeparator(path.back());
}

// `path` without its last separators; the root "/" stays itself.
template <class S>
S WithoutTrailingSeparators(S path) {
    while (path.size() > 1 && IsTrailingSeparator(path.back())) {
        path.erase(path.size() - 1);
    }
    return path;
}

// `dir` ending with a separator; an empty path stays empty.
template <class S>
S WithTrailingSeparator(S dir) {
    if (!dir.empty() && !IsTrailingSeparator(dir.back())) {
        dir.push_back('/');
    }
    return dir;
}

// `name` inside `dir`, with one "/" between them unless `dir` already ends
// with a separator; `name` alone when `dir` is empty.
template <class S>
S Join(const S& dir, const S& name) {
    if (dir.empty()) {
        return name;
    }
    S joined = WithTrailingSeparator(dir);
    joined += name;
    return joined;
}

// Everything before the last "/": "/" for an entry directly under the root,
// empty when `path` has no "/". A trailing separator is part of `path`, so
// the parent of "a/b/" is "a/b".
template <class S>
S Parent(const S& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == S::npos) {
        return S();
    }
    return path.substr(0, slash == 0 ? 1 : slash);
}

// The last name of `path`: everything after its last "/", the whole path
// when it has none.
template <class S>
S Name(const S& path) {
    const std::size_t slash = path.rfind('/');
    return slash == S::npos ? path : path.substr(slash + 1);
}

// True when `dir` (no trailing "/") is `path` or one of its ancestors.
template <class S>
bool IsSameOrAncestor(const S& dir, const S& path) {
    if (path.size() < dir.size() || path.substr(0, dir.size()) != dir) {
        return false;
    }
    return path.size() == dir.size() || path[dir.size()] == '/';
}

}  // namespace fspath
