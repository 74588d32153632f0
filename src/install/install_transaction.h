// The record of one installation run: everything a rollback needs to put the
// template directory back as it was.
#pragma once
#include <vector>

#include "fs/file_system.h"
#include "text/basic_string.h"

struct InstallTransaction {
    // The template directory of the run; ends with "/".
    stdx::string16 templateDir;
    // The run's private staging directory, ending with "/"; it receives the
    // earlier versions of the files the run replaces. Empty until made.
    stdx::string16 stagingDir;
    // Where files are extracted before they take their place, beside the
    // staging directory; ends with "/". Empty while the files go straight
    // to their place (a staging directory on another file system).
    stdx::string16 incomingDir;
    // The staging directory is not on the template directory's file system:
    // earlier versions are copied there, not renamed.
    bool stagingElsewhere = false;
    // Directories this run created (parents before children), without a
    // trailing "/". The staging directory is not among them.
    std::vector<stdx::string16> createdDirs;
    // Files this run wrote where nothing existed before, in order.
    std::vector<stdx::string16> createdFiles;
    // Directories that existed before the run and that it changes, with
    // their modification time before the run; the rollback sets it back.
    struct DirectoryTime {
        stdx::string16 path;  // no trailing "/"
        FileIdentity identity;
        FileTime lastWrite = 0;
    };
    std::vector<DirectoryTime> changedDirs;
};
