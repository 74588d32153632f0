// The mkkit tool as kit makers use it: create from a tree, list, and the exit
// status and message of each kind of mistake. Runs the built program.
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "kit_fixture.h"

namespace kittest {
namespace {

// mkkit in the same build tree as this test program.
std::string MkkitPath() {
    char self[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return std::string();
    std::string dir(self, size_t(n));
    dir.erase(dir.rfind('/'));
    return dir + "/../tools/mkkit/mkkit";
}

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class MkkitTest : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        mkkit_ = MkkitPath();
        if (access(mkkit_.c_str(), X_OK) != 0)
            GTEST_SKIP() << "mkkit is not built next to this test (" << mkkit_ << ")";
    }
    // Runs mkkit with `args` (already quoted), after the environment
    // assignments `env` if any; returns the exit status.
    int Run(const std::string& args, const std::string& env = std::string()) {
        std::string command = env + " " + Quote(mkkit_) + " " + args + " >" +
                              Quote(sandbox_.at("out")) + " 2>" + Quote(sandbox_.at("err"));
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Out() const { return testing_support::Sandbox::read(sandbox_.at("out")); }
    std::string Err() const { return testing_support::Sandbox::read(sandbox_.at("err")); }

    std::string mkkit_;
};

TEST_F(MkkitTest, CreateThenListShowsDescriptionsAndFilesInInstallOrder) {
    sandbox_.write("tree/docs/readme.html", "<p>hello</p>");
    sandbox_.write("tree/a.cfg", "key=1\n");
    struct timeval times[2] = {{1577836800, 0}, {1577836800, 0}};
    ASSERT_EQ(0, utimes(sandbox_.at("tree/a.cfg").c_str(), times));
    std::string kitPath = sandbox_.at("kelda.efd");
    ASSERT_EQ(0, Run("create -o " + Quote(kitPath) + " -C " + Quote(sandbox_.at("tree")) +
                     " --product 'en|Templates|Example Ltd|docs/readme.html'"
                     " --product 'de|Vorlagen|Beispiel GmbH|'"))
        << Err();

    Kit kit;
    ASSERT_EQ(0u, kit.Open(sandbox_.at16("kelda.efd")));
    ASSERT_EQ(2u, kit.products.size());
    EXPECT_EQ(string16(u"docs\\readme.html"), kit.products[0].description);
    EXPECT_EQ(string16(u"docs\\readme.html"), kit.GetDescriptionPath(u"de"));

    ASSERT_EQ(0, Run("list " + Quote(kitPath))) << Err();
    std::vector<std::string> lines;
    std::string out = Out();
    for (size_t start = 0, nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(out.substr(start, nl - start));
    ASSERT_EQ(5u, lines.size()) << out;
    EXPECT_EQ(
        "description en: product \"Templates\", provider \"Example Ltd\", document "
        "\"docs/readme.html\"",
        lines[0]);
    EXPECT_EQ("description de: product \"Vorlagen\", provider \"Beispiel GmbH\", document \"\"",
              lines[1]);
    EXPECT_EQ("         6 2020-01-01 00:00:00 a.cfg", lines[2]);
    EXPECT_EQ(0u, lines[3].find("        12 ")) << lines[3];
    // Names with "/", as the installer shows them.
    EXPECT_EQ(lines[3].size() - 17, lines[3].find(" docs/readme.html")) << lines[3];
    EXPECT_EQ("seal: digest ok, not signed", lines[4]);
}

TEST_F(MkkitTest, MistakesGetAClearMessageAndStatus) {
    sandbox_.write("tree/a.txt", "a");
    const std::string tree = Quote(sandbox_.at("tree"));
    const std::string out = Quote(sandbox_.at("k.efd"));

    // A missing tree is named as such, before its description document is
    // looked for in it.
    EXPECT_EQ(1, Run("create -o " + out + " -C " + Quote(sandbox_.at("missing")) +
                     " --product 'en|P|V|docs/readme.html'"));
    EXPECT_NE(std::string::npos,
              Err().find("tree to pack (-C) does not exist: " + sandbox_.at("missing")))
        << Err();
    EXPECT_EQ(std::string::npos, Err().find("description")) << Err();
    EXPECT_EQ(1, Run("create -o " + out + " -C " + Quote(sandbox_.at("tree/a.txt"))));
    EXPECT_NE(std::string::npos, Err().find("is not a directory")) << Err();
    EXPECT_FALSE(testing_support::Sandbox::exists(sandbox_.at("k.efd")));

    // A tree without files would give a kit that installs nothing.
    sandbox_.mkdirs("empty/sub");
    EXPECT_EQ(1, Run("create -o " + out + " -C " + Quote(sandbox_.at("empty"))));
    EXPECT_NE(std::string::npos, Err().find("holds no files")) << Err();
    EXPECT_FALSE(testing_support::Sandbox::exists(sandbox_.at("k.efd")));
    EXPECT_EQ(0, Run("create -o " + out + " -C " + Quote(sandbox_.at("empty")) +
                     " --allow-empty --product 'en|P|V|'"))
        << Err();
    std::remove(sandbox_.at("k.efd").c_str());

    EXPECT_EQ(2, Run("create -o " + out + " -C " + tree + " --product 'en|only three|fields'"));
    EXPECT_NE(std::string::npos, Err().find("four fields")) << Err();
    EXPECT_EQ(2, Run("create -o " + out + " -C " + tree + " --product 'en|P|V|../outside.html'"));
    EXPECT_EQ(2, Run("create -o " + out + " -C " + tree + " --level 12"));
    // A description document that the tree does not hold is refused...
    EXPECT_EQ(2, Run("create -o " + out + " -C " + tree + " --product 'en|P|V|docs/none.html'"));
    EXPECT_NE(std::string::npos, Err().find("docs/none.html")) << Err();
    EXPECT_FALSE(testing_support::Sandbox::exists(sandbox_.at("k.efd")));
    // ... and a kit without any product description is made, with a warning.
    EXPECT_EQ(0, Run("create -o " + out + " -C " + tree));
    EXPECT_NE(std::string::npos, Err().find("warning: no --product")) << Err();
    // A kit that leaves out languages of the installer names them, unless
    // --quiet; with all of them there is nothing to say.
    EXPECT_EQ(0, Run("create -o " + out + " -C " + tree + " --product 'EN|P|V|a.txt'" +
                     " --product 'de|P|V|a.txt'"));
    EXPECT_NE(std::string::npos, Err().find("warning: no --product for the installer's languages "
                                            "hy az bg zh fr ka es"))
        << Err();
    EXPECT_EQ(std::string::npos, Err().find(" en ")) << Err();
    EXPECT_EQ(std::string::npos, Err().find(" de ")) << Err();
    EXPECT_EQ(0, Run("create -o " + out + " -C " + tree + " --quiet --product 'en|P|V|a.txt'"));
    EXPECT_EQ(std::string::npos, Err().find("warning")) << Err();
    std::string every;
    for (const char* code : {"hy", "az", "bg", "zh", "en", "fr", "ka", "de", "es", "hu", "it",
                             "kk", "lv", "lt", "pl", "ro", "ru", "tr", "uk", "vi", "ar", "tk"}) {
        every += std::string(" --product '") + code + "|P|V|a.txt'";
    }
    EXPECT_EQ(0, Run("create -o " + out + " -C " + tree + every));
    EXPECT_EQ(std::string::npos, Err().find("warning")) << Err();
    std::remove(sandbox_.at("k.efd").c_str());
    EXPECT_EQ(2, Run("create -o " + out + " -C " + tree +
                     " --single --product 'en|P|V|' --product 'de|P|V|'"));
    EXPECT_EQ(2, Run("create -C " + tree));  // no output
    EXPECT_EQ(2, Run("create -o " + Quote(sandbox_.at("tree/sub/../k.efd")) + " -C " + tree));
    EXPECT_NE(std::string::npos, Err().find("inside the tree")) << Err();

    sandbox_.write("random.efd", std::string("\xFF\xFF\xFF\xFF\x00", 5));
    EXPECT_EQ(1, Run("list " + Quote(sandbox_.at("random.efd"))));
    EXPECT_NE(std::string::npos, Err().find("damaged or not a kit")) << Err();
    EXPECT_EQ(1, Run("list " + Quote(sandbox_.at("none.efd"))));
    EXPECT_NE(std::string::npos, Err().find("no such file")) << Err();
    EXPECT_TRUE(TempFiles().empty()) << "a failed list leaves no kit image";
}

// The kit's folder is made when missing; a failed write takes away the
// folders it made and nothing else.
TEST_F(MkkitTest, CreateMakesTheOutputFolderAndTakesItAwayOnFailure) {
    sandbox_.write("tree/a.txt", "a");
    const std::string tree = " -C " + Quote(sandbox_.at("tree"));
    ASSERT_EQ(0, Run("create -o " + Quote(sandbox_.at("new/deeper/kelda.efd")) + tree)) << Err();
    Kit kit;
    EXPECT_EQ(0u, kit.Open(sandbox_.at16("new/deeper/kelda.efd")));

    // Too long a file name: the folders are made, the kit cannot be.
    sandbox_.mkdirs("kept");
    const std::string tooLong = sandbox_.at("kept/made/also/") + std::string(300, 'k');
    EXPECT_EQ(1, Run("create -o " + Quote(tooLong) + tree));
    EXPECT_FALSE(testing_support::Sandbox::exists(sandbox_.at("kept/made")));
    EXPECT_TRUE(testing_support::Sandbox::exists(sandbox_.at("kept")));
    // A file where a folder would go.
    sandbox_.write("plain", "p");
    EXPECT_EQ(1, Run("create -o " + Quote(sandbox_.at("plain/k.efd")) + tree));
    EXPECT_NE(std::string::npos, Err().find("plain")) << Err();
    EXPECT_EQ("p", testing_support::Sandbox::read(sandbox_.at("plain")));
}

// --help of the tool and of each subcommand: within 80 columns, the usage
// line with the program's name only, and a pointer to the manual page.
TEST_F(MkkitTest, HelpFitsATerminalAndPointsToTheManualPage) {
    for (const char* sub : {"", "create ", "list ", "keygen ", "sign ", "verify "}) {
        ASSERT_EQ(0, Run(std::string(sub) + "--help")) << sub;
        const std::string out = Out();
        EXPECT_NE(std::string::npos, out.find("Usage: mkkit " + std::string(sub))) << out;
        EXPECT_NE(std::string::npos, out.find("man mkkit")) << out;
        for (size_t start = 0, nl; (nl = out.find('\n', start)) != std::string::npos;
             start = nl + 1) {
            EXPECT_LE(nl - start, 80u) << sub << ": " << out.substr(start, nl - start);
        }
    }
    EXPECT_EQ(2, Run("create --no-such-option"));
}

// In a locale that cannot represent the path, the installer's file layer would
// see only its prefix: "k.efd\xC3\xA9" would name the kit "k.efd" beside it.
TEST_F(MkkitTest, ListRefusesAPathTheLocaleCannotHold) {
    sandbox_.write("tree/a.txt", "a");
    const std::string kit = sandbox_.at("k.efd");
    ASSERT_EQ(0, Run("create -o " + Quote(kit) + " -C " + Quote(sandbox_.at("tree"))));
    const std::string other = kit + "\xC3\xA9";
    ASSERT_EQ(0, std::system(("cp " + Quote(kit) + " " + Quote(other)).c_str()));
    EXPECT_EQ(1, Run("list " + Quote(other), "LC_ALL=C"));
    EXPECT_NE(std::string::npos, Err().find("cannot be converted")) << Err();
    EXPECT_EQ("", Out());
}

TEST_F(MkkitTest, KeygenSignAndVerifySayWhatTheyFoundWithTheirStatus) {
    sandbox_.write("tree/a.cfg", "key=1\n");
    sandbox_.write("tree/sub/b.cfg", std::string(3000, 'b'));
    const std::string tree = " -C " + Quote(sandbox_.at("tree"));
    const std::string kit = Quote(sandbox_.at("kelda.efd"));
    const std::string key = sandbox_.at("release");
    ASSERT_EQ(0, Run("keygen " + Quote(key))) << Err();
    ASSERT_EQ(0, Run("keygen " + Quote(sandbox_.at("other")))) << Err();
    struct stat st;
    ASSERT_EQ(0, stat((key + ".sec").c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
    const std::string secret = testing_support::Sandbox::read(key + ".sec");
    EXPECT_EQ(1, Run("keygen " + Quote(key)));
    EXPECT_NE(std::string::npos, Err().find("never overwritten")) << Err();
    EXPECT_EQ(secret, testing_support::Sandbox::read(key + ".sec"));

    const std::string pub = " --key " + Quote(key + ".pub");
    const std::string otherPub = " --key " + Quote(sandbox_.at("other.pub"));
    ASSERT_EQ(0, Run("create -o " + kit + tree + " --no-trailer"));
    EXPECT_EQ(3, Run("verify " + kit));
    EXPECT_NE(std::string::npos, Out().find("no trailer")) << Out();
    EXPECT_EQ(4, Run("verify " + kit + pub));

    ASSERT_EQ(0, Run("create -o " + kit + tree));
    EXPECT_EQ(0, Run("verify " + kit));
    EXPECT_NE(std::string::npos, Out().find("digest ok, not signed")) << Out();
    EXPECT_EQ(4, Run("verify " + kit + pub));
    EXPECT_NE(std::string::npos, Out().find("carries no signature")) << Out();

    ASSERT_EQ(0, Run("sign " + kit + " " + Quote(key + ".sec"))) << Err();
    const std::string signedLater = testing_support::Sandbox::read(sandbox_.at("kelda.efd"));
    EXPECT_EQ(0, Run("verify " + kit + pub));
    EXPECT_NE(std::string::npos, Out().find("signature ok by key")) << Out();
    EXPECT_EQ(4, Run("verify " + kit + otherPub));
    EXPECT_NE(std::string::npos, Out().find("it is signed by key")) << Out();
    EXPECT_EQ(0, Run("verify " + kit));
    EXPECT_NE(std::string::npos, Out().find("signature not checked")) << Out();
    ASSERT_EQ(0, Run("list " + kit));
    EXPECT_NE(std::string::npos, Out().find("seal: digest ok, signed by key")) << Out();

    ASSERT_EQ(0, Run("create -o " + kit + tree + " --sign " + Quote(key + ".sec"))) << Err();
    EXPECT_EQ(signedLater, testing_support::Sandbox::read(sandbox_.at("kelda.efd")))
        << "signing at creation and signing later give the same kit";

    // A damaged kit is reported, and never signed.
    std::string damaged = signedLater;
    damaged[damaged.size() / 3] = char(damaged[damaged.size() / 3] ^ 0x40);
    sandbox_.write("kelda.efd", damaged);
    EXPECT_EQ(1, Run("verify " + kit + pub));
    EXPECT_NE(std::string::npos, Out().find("damaged")) << Out();
    EXPECT_EQ(1, Run("sign " + kit + " " + Quote(sandbox_.at("other.sec"))));
    EXPECT_EQ(damaged, testing_support::Sandbox::read(sandbox_.at("kelda.efd")));

    // Key files of the wrong kind or shape.
    EXPECT_EQ(2, Run("verify " + kit + " --key " + Quote(key + ".sec")));
    EXPECT_EQ(2, Run("sign " + kit + " " + Quote(key + ".pub")));
    EXPECT_EQ(2, Run("create -o " + kit + tree + " --no-trailer --sign " + Quote(key + ".sec")));
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(MkkitTest, SameTreeGivesTheSameKitWithSourceDateEpoch) {
    sandbox_.write("tree/z.cfg", "z");
    sandbox_.write("tree/a/b.cfg", "b");
    sandbox_.write("tree/a.cfg", "a");
    const std::string create = "create -o " + Quote(sandbox_.at("one.efd")) + " -C " +
                               Quote(sandbox_.at("tree")) + " --product 'en|P|V|a.cfg'";
    const std::string epoch = "SOURCE_DATE_EPOCH=1577836800";
    ASSERT_EQ(0, Run(create, epoch)) << Err();
    const std::string first = testing_support::Sandbox::read(sandbox_.at("one.efd"));
    // Checked out again later: every file is newer, one of them much newer.
    struct timeval later[2] = {{1700000000, 0}, {1700000000, 0}};
    ASSERT_EQ(0, utimes(sandbox_.at("tree/a/b.cfg").c_str(), later));
    ASSERT_EQ(0, Run(create, epoch)) << Err();
    EXPECT_EQ(first, testing_support::Sandbox::read(sandbox_.at("one.efd")));
    ASSERT_EQ(0, Run("list " + Quote(sandbox_.at("one.efd"))));
    EXPECT_NE(std::string::npos, Out().find("1 2020-01-01 00:00:00 a/b.cfg")) << Out();

    // Without the clamp the file times go into the kit.
    ASSERT_EQ(0, Run(create));
    EXPECT_NE(first, testing_support::Sandbox::read(sandbox_.at("one.efd")));
    EXPECT_EQ(2, Run(create, "SOURCE_DATE_EPOCH=yesterday"));
}

}  // namespace
}  // namespace kittest
