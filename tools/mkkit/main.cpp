// mkkit: the command-line tool for people who make distribution kits.
//   mkkit create -o kelda.efd -C <dir> [--product "lang|product|provider|descpath"]...
//                [--sign <secret key>] [--no-trailer] [--allow-empty]
//   mkkit list <kit>
//   mkkit keygen <name>            writes <name>.sec and <name>.pub
//   mkkit sign <kit> <secret key>
//   mkkit verify <kit> [--key <public key>]
// --help stays short (lines within 80 columns); the manual page mkkit(1)
// holds the details.
#include <CLI/CLI.hpp>
#include <clocale>

#include "mkkit/commands.h"

int main(int argc, char** argv) {
    // Paths and texts are converted with the user's locale, as the installer does.
    std::setlocale(LC_ALL, "");

    // Named here, so that the usage line shows "mkkit", not the path it was
    // started by.
    CLI::App app{"mkkit: build and inspect distribution kits (kelda.efd)", "mkkit"};
    app.require_subcommand(1);
    app.get_formatter()->column_width(24);
    // Every --help ends with the pointer to the manual page.
    const std::string manual = "\nMore in the manual page: man mkkit";
    app.footer(
        "Examples:\n"
        "  mkkit create -o kit/kelda.efd -C templates \\\n"
        "      --product \"en|Templates|Example Ltd|docs/readme.html\" \\\n"
        "      --product \"de|Vorlagen|Beispiel GmbH|docs/liesmich.html\"\n"
        "  mkkit list kit/kelda.efd\n"
        "  mkkit keygen release && mkkit sign kit/kelda.efd release.sec\n"
        "  mkkit verify kit/kelda.efd --key release.pub\n"
        "Exit status: 0 success; 1 missing, empty or unreadable tree, damaged or\n"
        "unreadable kit; 2 bad options or key file; verify also 3 when the kit has\n"
        "no trailer, 4 when it is not signed by --key." +
        manual);

    CreateOptions create;
    CLI::App* createCmd =
        app.add_subcommand("create", "Build a kit from every file below a directory");
    createCmd->footer(
        "Files keep their names relative to the tree and their last-write times,\n"
        "in a fixed order: the same tree always gives the same kit. With\n"
        "SOURCE_DATE_EPOCH set, no file time is later than it." +
        manual);
    createCmd->add_option("-o,--output", create.output, "kit file to write; folders are made")
        ->required();
    createCmd->add_option("-C,--directory", create.directory, "directory tree to pack")->required();
    createCmd->add_option("-p,--product", create.products,
                          "\"lang|product|provider|descpath\"; once per language");
    createCmd->add_option("-l,--level", create.level, "zlib compression level 0-9 (default 9)")
        ->check(CLI::Range(0, 9));
    createCmd->add_flag("--allow-empty", create.allowEmpty, "make a kit even of an empty tree");
    createCmd->add_flag("--single", create.single, "the single-description layout (one --product)");
    createCmd->add_flag("--image-only", create.imageOnly, "write the inflated image, not the kit");
    createCmd->add_flag("--no-trailer", create.noTrailer, "leave out the digest trailer");
    createCmd->add_option("--sign", create.secretKey, "secret key file that signs the kit");
    createCmd->add_flag("-q,--quiet", create.quiet,
                        "no warning about languages without a --product");

    std::string listKit;
    CLI::App* listCmd = app.add_subcommand("list", "List a kit's descriptions, files and seal");
    listCmd->footer(
        "Opens the kit as the installer does. One line per file: size in bytes,\n"
        "last-write time (UTC) and name, in install order." +
        manual);
    listCmd->add_option("kit", listKit, "kit file to list")->required();

    std::string keyBase;
    CLI::App* keygenCmd = app.add_subcommand("keygen", "Write a key pair NAME.sec and NAME.pub");
    keygenCmd->footer("NAME.sec is secret (mode 0600). Existing files are never overwritten." +
                      manual);
    keygenCmd->add_option("name", keyBase, "path and name of the key files, no suffix")->required();

    std::string signKit, signKey;
    CLI::App* signCmd = app.add_subcommand("sign", "Check a kit and sign it with a secret key");
    signCmd->footer("The kit is checked first; a damaged kit is never signed." + manual);
    signCmd->add_option("kit", signKit, "kit file to sign")->required();
    signCmd->add_option("secret-key", signKey, "secret key file (from mkkit keygen)")->required();

    std::string verifyKit, verifyKey;
    CLI::App* verifyCmd =
        app.add_subcommand("verify", "Check a kit and say what its trailer holds");
    verifyCmd->footer(
        "Says: no trailer (status 3), digest ok (0), signed by a key id (0; with\n"
        "--key, 4 when another key or none signed it), or damaged (1)." +
        manual);
    verifyCmd->add_option("kit", verifyKit, "kit file to check")->required();
    verifyCmd->add_option("--key", verifyKey, "public key file that must have signed it");

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
