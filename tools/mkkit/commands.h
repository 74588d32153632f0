// The two subcommands of mkkit; each returns the process exit status.
#pragma once
#include <string>
#include <vector>

struct CreateOptions {
    std::string output;                 // the kit file to write
    std::string directory;              // tree whose files go into the kit
    std::vector<std::string> products;  // "lang|product|provider|descpath"
    int level = 9;                      // zlib compression level
    bool single = false;                // layout word 0: one English description
    bool imageOnly = false;             // write the inflated image, not the kit
};

int RunCreate(const CreateOptions& options);
int RunList(const std::string& kit);
