// Encoding and reading of the run record (layout in run_journal.h).
#include "install/run_journal.h"

#include <cstring>

#include "fs/path.h"

namespace install {
namespace {

constexpr char kMagic[] = "KVJRNL02";
constexpr char kPreviousMagic[] = "KVJRNL01";
constexpr std::size_t kMagicSize = 8;
// kind, size, seconds, [device, inode,] length.
constexpr std::size_t kFixedSize = 1 + 8 + 8 + 8 + 8 + 4;
constexpr std::size_t kPreviousFixedSize = 1 + 8 + 8 + 4;
constexpr std::size_t kCheckSize = 4;
// A path longer than this is no path the run could have written.
constexpr std::uint32_t kMaxPathUnits = 1u << 16;

std::uint32_t Fnv1a(const char* data, std::size_t size) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 16777619u;
    }
    return hash;
}

void PutLittle(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(char((value >> (8 * i)) & 0xFF));
    }
}

std::uint64_t GetLittle(const char* in, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(in[i]);
    }
    return value;
}

bool IsKnownKind(char kind, bool identities) {
    switch (static_cast<JournalKind>(kind)) {
        case JournalKind::kTemplate:
        case JournalKind::kStaging:
        case JournalKind::kDirectory:
        case JournalKind::kBackup:
        case JournalKind::kSaved:
        case JournalKind::kWritten:
        case JournalKind::kCommitted:
            return true;
        case JournalKind::kNewFile:
            return !identities;
        case JournalKind::kPath:
        case JournalKind::kTimes:
            return identities;
    }
    return false;
}

enum class Step { kEntry, kCutShort, kDamaged };

// Reads the entry at `pos`; advances `pos` past it.
Step ReadEntry(const std::string& bytes, bool identities, std::size_t& pos, JournalEntry& entry) {
    const std::size_t fixed = identities ? kFixedSize : kPreviousFixedSize;
    const std::size_t left = bytes.size() - pos;
    if (left < fixed) {
        return Step::kCutShort;
    }
    const char* p = bytes.data() + pos;
    const std::uint32_t units = std::uint32_t(GetLittle(p + fixed - 4, 4));
    if (units > kMaxPathUnits) {
        return Step::kDamaged;
    }
    const std::size_t total = fixed + 2 * std::size_t(units) + kCheckSize;
    if (left < total) {
        return Step::kCutShort;
    }
    if (Fnv1a(p, total - kCheckSize) != std::uint32_t(GetLittle(p + total - kCheckSize, 4)) ||
        !IsKnownKind(p[0], identities)) {
        return Step::kDamaged;
    }
    entry.kind = static_cast<JournalKind>(p[0]);
    entry.size = GetLittle(p + 1, 8);
    entry.seconds = std::int64_t(GetLittle(p + 9, 8));
    entry.identity = FileIdentity();
    if (identities) {
        entry.identity.device = GetLittle(p + 17, 8);
        entry.identity.inode = GetLittle(p + 25, 8);
    }
    entry.path.clear();
    for (std::uint32_t i = 0; i < units; ++i) {
        entry.path.push_back(char16_t(GetLittle(p + fixed + 2 * i, 2)));
    }
    pos += total;
    return Step::kEntry;
}

std::string Encode(const JournalEntry& entry, bool identities) {
    std::string out;
    out.reserve(kFixedSize + 2 * entry.path.size() + kCheckSize);
    out.push_back(static_cast<char>(entry.kind));
    PutLittle(out, entry.size, 8);
    PutLittle(out, std::uint64_t(entry.seconds), 8);
    if (identities) {
        PutLittle(out, entry.identity.device, 8);
        PutLittle(out, entry.identity.inode, 8);
    }
    PutLittle(out, entry.path.size(), 4);
    for (char16_t unit : entry.path) {
        PutLittle(out, unit, 2);
    }
    PutLittle(out, Fnv1a(out.data(), out.size()), 4);
    return out;
}

std::string Header(const char* magic, const stdx::string16& templateDir,
                   const FileIdentity& templateIdentity, const stdx::string16& stagingDir,
                   bool identities) {
    std::string out(magic, kMagicSize);
    JournalEntry entry;
    entry.kind = JournalKind::kTemplate;
    entry.path = templateDir;
    entry.identity = templateIdentity;
    out += Encode(entry, identities);
    entry.kind = JournalKind::kStaging;
    entry.path = stagingDir;
    entry.identity = FileIdentity();
    out += Encode(entry, identities);
    return out;
}

}  // namespace

std::string EncodeJournalEntry(const JournalEntry& entry) {
    return Encode(entry, true);
}

std::string EncodeJournalHeader(const stdx::string16& templateDir,
                                const FileIdentity& templateIdentity,
                                const stdx::string16& stagingDir) {
    return Header(kMagic, templateDir, templateIdentity, stagingDir, true);
}

std::string EncodePreviousEntry(const JournalEntry& entry) {
    return Encode(entry, false);
}

std::string EncodePreviousHeader(const stdx::string16& templateDir,
                                 const stdx::string16& stagingDir) {
    return Header(kPreviousMagic, templateDir, FileIdentity(), stagingDir, false);
}

bool ParseJournal(const std::string& bytes, JournalContents& out) {
    out = JournalContents();
    // A run that died while writing its first bytes: nothing to undo. (A
    // record is created with its header in one write; this is a torn one.)
    if (bytes.size() < kMagicSize) {
        return std::memcmp(bytes.data(), kMagic, bytes.size()) == 0 ||
               std::memcmp(bytes.data(), kPreviousMagic, bytes.size()) == 0;
    }
    if (std::memcmp(bytes.data(), kPreviousMagic, kMagicSize) == 0) {
        out.identities = false;
    } else if (std::memcmp(bytes.data(), kMagic, kMagicSize) != 0) {
        return false;
    }
    const bool identities = out.identities;
    std::size_t pos = kMagicSize;
    JournalEntry entry;
    int index = 0;
    for (;; ++index) {
        const Step step = ReadEntry(bytes, identities, pos, entry);
        if (step == Step::kDamaged) {
            return false;
        }
        if (step == Step::kCutShort) {
            // Only the tail may be cut short. Within the two directories it
            // is a run that died before its first change.
            if (index < 2) {
                out = JournalContents();
                out.identities = identities;
            }
            return true;
        }
        if (index == 0) {
            if (entry.kind != JournalKind::kTemplate) {
                return false;
            }
            out.templateDir = entry.path;
            out.templateIdentity = entry.identity;
            continue;
        }
        if (index == 1) {
            if (entry.kind != JournalKind::kStaging) {
                return false;
            }
            out.stagingDir = entry.path;
            continue;
        }
        if (entry.kind == JournalKind::kTemplate || entry.kind == JournalKind::kStaging) {
            return false;
        }
        out.entries.push_back(entry);
    }
}

stdx::string16 JournalPathFor(const stdx::string16& stagingDir) {
    return fspath::WithoutTrailingSeparators(stagingDir) + u".journal";
}

stdx::string16 IncomingPathFor(const stdx::string16& stagingDir) {
    return fspath::WithoutTrailingSeparators(stagingDir) + u".new/";
}

}  // namespace install
