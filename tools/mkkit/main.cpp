// mkkit: the command-line tool for people who make distribution kits.
//   mkkit create -o kelda.efd -C <dir> [--product "lang|product|provider|descpath"]...
//   mkkit list <kit>
#include <CLI/CLI.hpp>
#include <clocale>

#include "commands.h"

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
        "Exit status: 0 success, 1 unreadable tree or kit, 2 bad options.");

    CreateOptions create;
    CLI::App* createCmd = app.add_subcommand(
        "create",
        "Build a kit from every regular file below a directory. Files are named "
        "relative to that directory with \"\\\" separators, keep their last-write "
        "times, and are stored in a fixed order (names compared byte-wise, depth first), "
        "so the same tree always gives the same kit.");
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

    std::string listKit;
    CLI::App* listCmd = app.add_subcommand(
        "list",
        "Open a kit as the installer does and list its product descriptions, then one "
        "line per file: size in bytes, last-write time (UTC) and name, in install order.");
    listCmd->add_option("kit", listKit, "kit file to list")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help is reported as a "parse error" with status 0.
        return app.exit(e) == 0 ? 0 : 2;
    }
    if (createCmd->parsed())
        return RunCreate(create);
    return RunList(listKit);
}
