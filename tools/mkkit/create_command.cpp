// mkkit create: parses the product descriptions and writes the kit.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "kit/kit_name.h"
#include "kit/kit_writer.h"
#include "l10n/catalogue_tables.h"
#include "mkkit/commands.h"
#include "mkkit/key_files.h"
#include "text/utf8.h"

namespace {

// "lang|product|provider|descpath" -> a description; "/" in the path becomes "\".
bool ParseProduct(const std::string& text, config::ProductInfo* info, std::string* error) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = text.find('|', start);
        parts.push_back(text.substr(start, bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    if (parts.size() != 4) {
        *error = "--product needs four fields \"lang|product|provider|descpath\": " + text;
        return false;
    }
    if (parts[0].empty()) {
        *error = "--product needs a language code: " + text;
        return false;
    }
    stdx::basic_string<char16_t>* fields[] = {&info->language, &info->product, &info->provider,
                                              &info->description};
    for (size_t i = 0; i < 4; ++i) {
        if (!kit::Utf8ToUtf16(parts[i], fields[i])) {
            *error = "--product is not valid UTF-8: " + text;
            return false;
        }
    }
    for (size_t i = 0; i < info->description.size(); ++i) {
        if (info->description[i] == u'/')
            info->description[i] = u'\\';
    }
    if (!kit::IsSafeKitName(info->description)) {
        *error = "description path must stay inside the tree: " + parts[3];
        return false;
    }
    return true;
}

// A kit written inside the tree it packs would be packed into the next kit
// made from that tree.
bool InsideTree(const std::string& output, const std::string& tree) {
    std::error_code error;
    std::string out = std::filesystem::weakly_canonical(output, error).string();
    if (error)
        return false;
    std::string root = std::filesystem::weakly_canonical(tree, error).string();
    if (error || root.empty())
        return false;
    if (root.back() != '/')
        root += '/';
    return out.compare(0, root.size(), root) == 0;
}

// A product's description document must be a file of the packed tree: the
// installer opens it from the template directory after the copy.
bool DescriptionInTree(const config::ProductInfo& info, const std::string& tree,
                       std::string* error) {
    if (info.description.empty()) {
        return true;
    }
    const stdx::string8 utf8 = stdx::to_utf8(info.description);
    std::string relative(utf8.c_str());
    for (char& c : relative) {
        if (c == '\\') {
            c = '/';
        }
    }
    std::error_code failed;
    if (std::filesystem::is_regular_file(std::filesystem::path(tree) / relative, failed)) {
        return true;
    }
    *error = "description document " + relative + " is not a file in the packed tree " + tree;
    return false;
}

// The tree must be there before anything is judged by what it holds: a
// missing tree would otherwise read as a missing description document.
bool TreeIsDirectory(const std::string& tree, std::string* error) {
    std::error_code failed;
    const std::filesystem::file_status status = std::filesystem::status(tree, failed);
    if (std::filesystem::is_directory(status))
        return true;
    if (status.type() == std::filesystem::file_type::not_found)
        *error = "the tree to pack (-C) does not exist: " + tree;
    else if (failed)
        *error = "the tree to pack (-C) cannot be read: " + tree + ": " + failed.message();
    else
        *error = "the tree to pack (-C) is not a directory: " + tree;
    return false;
}

// The folders of `output` that do not exist yet, created outermost first;
// their paths are appended to `created` so a failed write can take them away.
bool MakeOutputFolder(const std::string& output, std::vector<std::filesystem::path>* created,
                      std::string* error) {
    std::vector<std::filesystem::path> missing;
    std::error_code failed;
    for (std::filesystem::path folder = std::filesystem::path(output).parent_path();
         !folder.empty() && !std::filesystem::exists(folder, failed);
         folder = folder.parent_path()) {
        missing.push_back(folder);
        if (folder == folder.parent_path())
            break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!std::filesystem::create_directory(*it, failed) && failed) {
            *error = "cannot create the folder " + it->string() + ": " + failed.message();
            return false;
        }
        created->push_back(*it);
    }
    return true;
}

// Takes away the folders MakeOutputFolder made, innermost first; a folder
// that holds anything else stays.
void RemoveFolders(const std::vector<std::filesystem::path>& created) {
    std::error_code ignored;
    for (auto it = created.rbegin(); it != created.rend(); ++it)
        std::filesystem::remove(*it, ignored);
}

// SOURCE_DATE_EPOCH: a whole number of seconds since 1970, else an error.
bool SourceDateEpoch(bool* set, int64_t* seconds, std::string* error) {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    *set = text != nullptr && *text != '\0';
    if (!*set)
        return true;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < 0) {
        *error = std::string("SOURCE_DATE_EPOCH is not a number of seconds: ") + text;
        return false;
    }
    *seconds = value;
    return true;
}

// The installer finds a product description by its exact language code (the
// single layout reads as "en"); a catalogue language without one greets the
// user with placeholders.
void WarnMissingLanguages(const std::vector<config::ProductInfo>& products, bool single) {
    // The kit's codes as the installer compares them: ASCII case ignored.
    std::vector<std::string> codes;
    for (const config::ProductInfo& info : products) {
        std::string code;
        for (char16_t c : info.language) {
            code += c >= u'A' && c <= u'Z' ? char(c - u'A' + 'a') : c < 0x80 ? char(c) : '?';
        }
        codes.push_back(single ? std::string("en") : code);
    }
    std::string missing;
    for (const CatalogueLanguage& language : kCatalogueLanguages) {
        if (std::find(codes.begin(), codes.end(), language.code) == codes.end()) {
            missing += std::string(missing.empty() ? "" : " ") + language.code;
        }
    }
    if (missing.empty()) {
        return;
    }
    std::fprintf(stderr,
                 "mkkit: warning: no --product for the installer's languages %s; in these "
                 "languages the welcome page shows placeholders instead of the product and "
                 "provider (--quiet says nothing of this)\n",
                 missing.c_str());
}

}  // namespace

int RunCreate(const CreateOptions& options) {
    kit::KitWriter writer;
    writer.SetCompressionLevel(options.level);
    writer.SetSeal(options.noTrailer ? kit::Seal::kNone : kit::Seal::kDigest);
    writer.SetLayout(options.single ? kit::Layout::SingleDescription
                                    : kit::Layout::DescriptionTable);
    std::string error;
    if (!TreeIsDirectory(options.directory, &error)) {
        std::fprintf(stderr, "mkkit: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& text : options.products) {
        config::ProductInfo info;
        if (!ParseProduct(text, &info, &error)) {
            std::fprintf(stderr, "mkkit: %s\n", error.c_str());
            return 2;
        }
        writer.AddProduct(info);
    }
    if (options.products.empty() && !options.quiet) {
        std::fprintf(stderr,
                     "mkkit: warning: no --product given; the installer will welcome the user "
                     "with placeholders instead of a product and provider, and offer no "
                     "description document\n");
    } else if (!options.quiet) {
        WarnMissingLanguages(writer.products(), options.single);
    }
    for (const config::ProductInfo& info : writer.products()) {
        if (!DescriptionInTree(info, options.directory, &error)) {
            std::fprintf(stderr, "mkkit: %s\n", error.c_str());
            return 2;
        }
    }
    if (options.single && options.products.size() != 1) {
        std::fprintf(stderr, "mkkit: --single needs exactly one --product\n");
        return 2;
    }
    if (options.noTrailer && !options.secretKey.empty()) {
        std::fprintf(stderr, "mkkit: --sign needs the trailer; drop --no-trailer\n");
        return 2;
    }
    if (!options.secretKey.empty()) {
        kit::SecretKey key{};
        if (!ReadSecretKeyFile(options.secretKey, &key, &error)) {
            std::fprintf(stderr, "mkkit: %s\n", error.c_str());
            return 2;
        }
        writer.SetSigningKey(key);
    }
    bool clamp = false;
    int64_t epoch = 0;
    if (!SourceDateEpoch(&clamp, &epoch, &error)) {
        std::fprintf(stderr, "mkkit: %s\n", error.c_str());
        return 2;
    }
    if (clamp)
        writer.ClampTimesTo(epoch);
    if (InsideTree(options.output, options.directory)) {
        std::fprintf(stderr, "mkkit: the kit %s must not lie inside the tree it packs\n",
                     options.output.c_str());
        return 2;
    }
    if (!writer.AddTree(options.directory, &error)) {
        std::fprintf(stderr, "mkkit: %s\n", error.c_str());
        return 1;
    }
    if (writer.files().empty() && !options.allowEmpty) {
        // The installer would report such a kit as installed successfully.
        std::fprintf(stderr,
                     "mkkit: the tree %s holds no files; a kit of it would install nothing "
                     "(--allow-empty makes it anyway)\n",
                     options.directory.c_str());
        return 1;
    }
    std::vector<std::filesystem::path> created;
    bool ok = MakeOutputFolder(options.output, &created, &error) &&
              (options.imageOnly ? writer.WriteImage(options.output, &error)
                                 : writer.WriteKit(options.output, &error));
    if (!ok) {
        RemoveFolders(created);
        std::fprintf(stderr, "mkkit: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
