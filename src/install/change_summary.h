// What a run would do to a template directory, counted before it starts:
// kit files that are missing there (new), older there (replaced) or at least
// as new there (kept). The same freshness test as the run's own, so the
// counts shown to the user are the ones the run will meet.
#pragma once
#include <cstddef>

#include "fs/path.h"
#include "install/install_engine.h"
#include "text/basic_string.h"
#include "text/string_util.h"

namespace install {

struct ChangeCounts {
    std::size_t newFiles = 0;
    std::size_t replaced = 0;
    std::size_t kept = 0;
};

// `templateDir` may end with "/" or not. Reads status only; opens nothing.
template <class FS, class Kit>
ChangeCounts CountChanges(const Kit& kit, const stdx::string16& templateDir) {
    ChangeCounts counts;
    // The run's own rule (InstallProcessData::Start), so both name the same files.
    const stdx::string16 dir = fspath::WithTrailingSeparator(templateDir);
    for (const auto& entry : kit.files) {
        stdx::string16 name = entry.name;
        stdx::replace_all(name, u"\\", u"/");
        const stdx::string16 target = dir + name;
        const FileStatus status = FS::Status(target);
        if (!status.exists) {
            ++counts.newFiles;
        } else if (BasicInstallEngine<FS, Kit>::IsAtLeastAsNew(status, target, entry.time)) {
            ++counts.kept;
        } else {
            ++counts.replaced;
        }
    }
    return counts;
}

}  // namespace install
