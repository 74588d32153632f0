// The subcommands of mkkit; each returns the process exit status.
#pragma once
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "kit/install_data.h"
#include "kit/lz_compressor.h"

struct CreateOptions {
    std::string output;                 // the kit file to write
    std::string directory;              // tree whose files go into the kit
    std::vector<std::string> products;  // "lang|product|provider|descpath"
    int level = 9;                      // zlib compression level
    bool single = false;                // layout word 0: one English description
    bool imageOnly = false;             // write the inflated image, not the kit
    bool noTrailer = false;             // a bare deflate stream, no digest
    bool allowEmpty = false;            // a tree without files still makes a kit
    std::string secretKey;              // key file that signs the kit, if any
    bool quiet = false;                 // no warning about missing languages
};

// Exit statuses of mkkit verify beside 0 (verified), 1 and 2.
constexpr int kExitNoTrailer = 3;
constexpr int kExitNotSigned = 4;

using ToolKit = InstallData<LZCompressor, FileSystem>;

int RunCreate(const CreateOptions& options);
int RunList(const std::string& kit);
int RunKeygen(const std::string& base);
int RunSign(const std::string& kit, const std::string& secretKeyFile);
int RunVerify(const std::string& kit, const std::string& publicKeyFile);

// Opens `kitPath` as the installer does with `kit.trust`; prints why it
// failed unless the result is 0 or kit::kNotSigned, and returns the result.
uint32_t OpenKit(const std::string& kitPath, ToolKit& kit);
// One line saying what the kit's seal holds.
std::string DescribeSeal(const kit::SealReport& seal);
