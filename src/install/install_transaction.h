// The record of one installation run: everything a rollback needs to put the
// template directory back as it was.
#pragma once
#include <vector>

#include "text/basic_string.h"

struct InstallTransaction {
    // The template directory of the run; ends with "/".
    stdx::string16 templateDir;
    // The run's private staging directory, ending with "/"; it receives the
    // earlier versions of the files the run replaces. Empty until made.
    stdx::string16 stagingDir;
    // Directories this run created (parents before children), without a
    // trailing "/". The staging directory is not among them.
    std::vector<stdx::string16> createdDirs;
    // Files this run wrote where nothing existed before, in order.
    std::vector<stdx::string16> createdFiles;
};
