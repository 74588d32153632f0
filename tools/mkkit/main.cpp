// mkkit: the command-line tool for people who make distribution kits.
//   mkkit create -o kelda.efd -C <dir> [--product "lang|product|provider|descpath"]...
//                [--sign <secret key>] [--no-trailer]
//   mkkit list <kit>
//   mkkit keygen <name>            writes <name>.sec and <name>.pub
//   mkkit sign <kit> <secret key>
//   mkkit verify <kit> [--key <public key>]
#include <CLI/CLI.hpp>
#include <clocale>

#include "mkkit/commands.h"

int main(int argc, char** argv) {
    // Paths and texts are converted with the user's locale, as the installer does.
    std::setlocale(LC_ALL, "");

    CLI::App app{"mkkit: build and inspect distribution kits (kelda.efd)"};
    app.require_subcommand(1);
    app.footer(
        "Examples:\n"
        "  mkkit create -o kelda.efd -C templates \\\n"
        "      --product \"en|Templates|Example Ltd|docs/readme.html\" \\\n"
        "      --product \"de|Vorlagen|Beispiel GmbH|docs/liesmich.html\"\n"
        "  mkkit list kelda.efd\n"
        "  mkkit keygen release && mkkit sign kelda.efd release.sec\n"
        "  mkkit verify kelda.efd --key release.pub\n"
        "Exit status: 0 success, 1 unreadable tree, damaged or unreadable kit, 2 bad options or\n"
        "key file; verify also 3 when the kit has no trailer, 4 when it is not signed by --key.");

    CreateOptions create;
    CLI::App* createCmd = app.add_subcommand(
        "create",
        "Build a kit from every regular file below a directory. Files are named "
        "relative to that directory with \"\\\" separators, keep their last-write "
        "times, and are stored in a fixed order (names compared byte-wise, depth first), "
        "so the same tree always gives the same kit; with SOURCE_DATE_EPOCH set, no file "
        "time is later than it. The kit ends in a trailer holding the SHA-256 digest of "
        "its compressed stream, which the installer checks.");
    createCmd->add_option("-o,--output", create.output, "kit file to write, e.g. kelda.efd")
        ->required();
    createCmd->add_option("-C,--directory", create.directory, "directory tree to pack")->required();
    createCmd->add_option(
        "-p,--product", create.products,
        "product description for one language, \"lang|product|provider|descpath\"; "
        "descpath is the description document relative to the tree (\"/\" or \"\\\" "
        "separated, may be empty). Repeat for each language; the order is kept.");
    createCmd->add_option("-l,--level", create.level, "zlib compression level 0-9 (default 9)")
        ->check(CLI::Range(0, 9));
    createCmd->add_flag("--single", create.single,
                        "write the single-description layout (exactly one --product, "
                        "read back as language \"en\")");
    createCmd->add_flag("--image-only", create.imageOnly,
                        "write the inflated kit image instead of the compressed kit "
                        "(for inspection and fuzzing seeds)");
    createCmd->add_flag("--no-trailer", create.noTrailer,
                        "write a bare deflate stream without the digest trailer");
    createCmd->add_option("--sign", create.secretKey,
                          "secret key file (from mkkit keygen) that signs the kit");
    createCmd->add_flag("-q,--quiet", create.quiet,
                        "no warning about the installer's languages that have no --product "
                        "(their welcome page shows placeholders)");

    std::string listKit;
    CLI::App* listCmd = app.add_subcommand(
        "list",
        "Open a kit as the installer does and list its product descriptions, then one "
        "line per file: size in bytes, last-write time (UTC) and name, in install order.");
    listCmd->add_option("kit", listKit, "kit file to list")->required();

    std::string keyBase;
    CLI::App* keygenCmd = app.add_subcommand(
        "keygen",
        "Write a new Ed25519 key pair: NAME.sec (secret, mode 0600) and NAME.pub. Existing "
        "files are never overwritten.");
    keygenCmd->add_option("name", keyBase, "path and name of the key files, without suffix")
        ->required();

    std::string signKit, signKey;
    CLI::App* signCmd = app.add_subcommand(
        "sign", "Check a kit and add a signature by a secret key to its trailer.");
    signCmd->add_option("kit", signKit, "kit file to sign")->required();
    signCmd->add_option("secret-key", signKey, "secret key file (from mkkit keygen)")->required();

    std::string verifyKit, verifyKey;
    CLI::App* verifyCmd = app.add_subcommand(
        "verify",
        "Check a kit as the installer does and say what it carries: no trailer, a digest, a "
        "signature (checked when --key names its public key).");
    verifyCmd->add_option("kit", verifyKit, "kit file to check")->required();
    verifyCmd->add_option("--key", verifyKey,
                          "public key file; the kit must be signed by this key");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help is reported as a "parse error" with status 0.
        return app.exit(e) == 0 ? 0 : 2;
    }
    if (createCmd->parsed())
        return RunCreate(create);
    if (keygenCmd->parsed())
        return RunKeygen(keyBase);
    if (signCmd->parsed())
        return RunSign(signKit, signKey);
    if (verifyCmd->parsed())
        return RunVerify(verifyKit, verifyKey);
    return RunList(listKit);
}
