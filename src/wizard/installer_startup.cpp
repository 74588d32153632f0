// Start-up checks of the installer dialog, run before any window exists: the
// kit beside the executable, the launcher list and the proposed template
// directory, the temporary directory's free space, the kit's opening.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "fs/path.h"
#include "install/failure_detail.h"
#include "kit/program_trust.h"
#include "l10n/localization.h"
#include "launcher/launcher_config.h"
#include "launcher/launcher_paths.h"
#include "text/string_util.h"
#include "text/utf8.h"
#include "wizard/installer_dlg.h"
#include "wizard/start_checks.h"
#include "wizard/target_checks.h"

namespace {

// A kit is a file: a directory of that name (or a link to one) is no kit, and
// would otherwise be weighed and opened as one.
bool KitFileExists(const stdx::string16& path) {
    return FileSystem::Exists(path) &&
           FileSystem::Status(path, Links::kFollowed).kind != FileKind::kDirectory;
}

// The process's working directory, whatever its length; empty if unknown.
stdx::string8 WorkingDirectory() {
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) {
            return stdx::string8(buffer.data());
        }
        if (errno != ERANGE) {
            return stdx::string8();
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The kit file's size in 64 bits, through the file-system policy.
bool KitFileSize(const stdx::string16& path, uint64_t& size) {
    FileSystem::Handle handle = kInvalidFileHandle;
    if (FileSystem::CreateFile(path, fsflag::kGenericRead, 0, fsflag::kOpenExisting, &handle, 0) !=
        0) {
        return false;
    }
    int64_t end = FileSystem::SetFilePointer(handle, 0, fsflag::kFileEnd);
    FileSystem::CloseHandle(handle);
    if (end < 0) {
        return false;
    }
    size = static_cast<uint64_t>(end);
    return true;
}

// True when the kit's first byte can be read: a regular, readable file.
bool KitIsReadable(const stdx::string16& path) {
    FileSystem::Handle handle = kInvalidFileHandle;
    if (FileSystem::CreateFile(path, fsflag::kGenericRead, 0, fsflag::kOpenExisting, &handle, 0) !=
        0) {
        return false;
    }
    unsigned char byte = 0;
    uint32_t read = 0;
    uint32_t rc = FileSystem::ReadFile(handle, &byte, 1, &read, nullptr);
    FileSystem::CloseHandle(handle);
    return rc == 0 && read == 1;
}

}  // namespace

stdx::string16 CInstallerDlg::LocateKit() {
    if (!m_options.kit.empty()) {
        return m_options.kit;
    }
    if (m_options.useCwd) {
        stdx::string8 cwd = WorkingDirectory();
        if (cwd.empty()) {
            return stdx::string16();
        }
        return stdx::widen(wizard::KitPathInDirectory(cwd));
    }
    stdx::string8 exe = m_services.ExecutablePath();
    stdx::string8 kit = wizard::KitPathBesideExecutable(exe, m_services.Layout());
    if (kit.empty()) {
        return stdx::string16();
    }
    return stdx::widen(kit);
}

bool CInstallerDlg::CheckStart() {
    stdx::string16 kitPath = LocateKit();
    if (kitPath.empty() || !KitFileExists(kitPath)) {
        // Where it was looked for: beside the program, or the working
        // directory with "usecwd".
        MessageBox(WithDetail(GetLocalizedString("IDS_ERROR_NOSOURCE"), kitPath),
                   wizard::kMessageBoxError);
        return false;
    }
    m_kitPath = kitPath;
    ReadLauncherFiles();
    ProposeTargetDir();
    if (const int errnum = TempUnusable()) {
        MessageBox(TempRefusal(errnum), wizard::kMessageBoxError);
        return false;
    }
    if (!EnoughTempSpace()) {
        MessageBox(WithDetail(GetLocalizedString("IDS_ERROR_NOSPACE"), TempSpaceDetail()),
                   wizard::kMessageBoxError);
        return false;
    }
    // A program built to require a signed kit refuses any other.
    m_installData.trust = kit::ProgramKitTrust();
    uint32_t opened = m_installData.Open(m_kitPath);
    if (opened == kit::kNotSigned) {
        MessageBox(WithDetail(NotSignedText(), m_kitPath), wizard::kMessageBoxError);
        return false;
    }
    if (opened != 0) {
        // The temporary directory may have become unusable meanwhile.
        if (const int errnum = TempUnusable()) {
            if (KitIsReadable(m_kitPath) && opened != fserror::kInvalidData) {
                MessageBox(TempRefusal(errnum), wizard::kMessageBoxError);
                return false;
            }
        }
        const char* key = OpenFailureKey(opened);
        const bool noSpace = std::strcmp(key, "IDS_ERROR_NOSPACE") == 0;
        MessageBox(WithDetail(GetLocalizedString(key), noSpace ? TempSpaceDetail() : m_kitPath),
                   wizard::kMessageBoxError);
        return false;
    }
    return true;
}

// "... is not signed by %1", with the owner of the key the program requires.
stdx::string16 CInstallerDlg::NotSignedText() const {
    stdx::string16 signer;
    stdx::from_utf8(stdx::string8(kit::ProgramKitSigner().c_str()), signer);
    return FormatLocalized("IDS_ERROR_NOTSIGNED", {signer});
}

// The kit's opening fails alike when the kit is damaged and when the
// temporary directory cannot take its inflated image (full, or no file can be
// made there); the image may be far larger than the space test assumed. Only
// damage, or a kit that cannot be read, is the kit's fault. No image is left
// behind either way.
const char* CInstallerDlg::OpenFailureKey(uint32_t code) const {
    if (code == fserror::kInvalidData || !KitIsReadable(m_kitPath)) {
        return "IDS_ERROR_DAMAGEDSOURCE";
    }
    return "IDS_ERROR_NOSPACE";
}

// The errno of why no file can be made in the temporary directory (missing,
// no permission, read-only), or 0 when one can: space is then the only
// thing it can lack.
int CInstallerDlg::TempUnusable() {
    stdx::string16 temp;
    FileSystem::GetTempPath(temp);
    stdx::string8 native;
    if (!stdx::narrow_exact(temp, native)) {
        return ENOENT;
    }
    if (access(native.c_str(), W_OK | X_OK) != 0) {
        return errno;
    }
    return 0;
}

// "The temporary directory cannot be used." and the directory with the
// system's reason.
stdx::string16 CInstallerDlg::TempRefusal(int errnum) {
    stdx::string16 temp;
    FileSystem::GetTempPath(temp);
    return WithDetail(GetLocalizedString("IDS_ERROR_TEMPUNUSABLE"),
                      install::DescribeFailure(stdx::escape_controls(temp), errnum));
}

void CInstallerDlg::ReadLauncherFiles() {
    m_secondaryExists = FileSystem::Exists(SecondaryLauncherFile());
    if (FileSystem::Exists(PrimaryLauncherFile())) {
        m_templateDirs = LauncherConfig::ReadTemplateDirs(LauncherMode::kPrimary);
        return;
    }
    if (!m_secondaryExists) {
        return;
    }
    m_templateDirs = LauncherConfig::ReadTemplateDirs(LauncherMode::kSecondary);
    m_listFromSecondary = !m_templateDirs.empty();
}

// The first listed directory that takes a new file, else the default; then
// the clean-up (after the default, so a URL-like entry leaves it empty).
void CInstallerDlg::ProposeTargetDir() {
    m_targetDir.clear();
    for (const stdx::string16& dir : m_templateDirs) {
        if (wizard::IsWritableDirectory(dir, m_options.dryRun ? wizard::DiskAccess::kLookOnly
                                                             : wizard::DiskAccess::kMayWrite)) {
            m_targetDir = dir;
            break;
        }
    }
    if (m_targetDir.empty()) {
        m_targetDir = DefaultTemplateDirectory();
    }
    m_targetDir = wizard::CleanProposedDirectory(m_targetDir);
}

// Compared in 64 bits against the space an unprivileged user may fill; a
// query that fails skips the test, as the kit's opening reports real trouble.
// The temporary directory, the space the kit needs there (three times its
// size) and the space left, in whole megabytes (needed rounded up).
stdx::string16 CInstallerDlg::TempSpaceDetail() {
    stdx::string16 temp;
    FileSystem::GetTempPath(temp);
    uint64_t kitSize = 0;
    uint64_t freeBytes = 0;
    const bool sized = KitFileSize(m_kitPath, kitSize);
    const bool measured = FileSystem::GetDiskFreeSpace64(&freeBytes) == 0;
    if (!sized || !measured) {
        return temp;
    }
    const uint64_t mb = 1024 * 1024;
    const uint64_t needed =
        kitSize > UINT64_MAX / 3 ? UINT64_MAX / mb : (3 * kitSize + mb - 1) / mb;
    auto megabytes = [](uint64_t n) {
        return stdx::format_int(int32_t(n < uint64_t(INT32_MAX) ? n : uint64_t(INT32_MAX)));
    };
    return FormatLocalized("IDS_ERROR_SPACEDETAIL",
                           {temp, megabytes(needed), megabytes(freeBytes / mb)});
}

bool CInstallerDlg::EnoughTempSpace() {
    uint64_t kitSize = 0;
    if (!KitFileSize(m_kitPath, kitSize)) {
        return true;
    }
    uint64_t freeBytes = 0;
    if (FileSystem::GetDiskFreeSpace64(&freeBytes) != 0) {
        return true;
    }
    return wizard::EnoughTempSpace(kitSize, freeBytes);
}
