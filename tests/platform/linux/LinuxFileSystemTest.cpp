#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/linux/LinuxFilePublisher.h"
#include "platform/linux/LinuxFileSystem.h"

namespace ovin {
namespace {

namespace fs = std::filesystem;

// A user id that is neither ours nor root's ("nobody" on most systems).
constexpr uid_t kOtherUid = 65534;

class LinuxFiles : public ::testing::Test {
protected:
    LinuxFiles()
    {
        std::string tmpl = (fs::temp_directory_path() / "ovin-fs-XXXXXX").string();
        dir = ::mkdtemp(tmpl.data());
        ::chmod(dir.c_str(), 0755);
    }
    ~LinuxFiles() override { fs::remove_all(dir); }

    std::string at(const std::string& name) const { return dir + "/" + name; }
    void write(const std::string& name, const std::string& content) const
    {
        std::ofstream(at(name), std::ios::binary) << content;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(at(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // A link as someone else would plant it; only root can make one.
    bool plantForeignLink(const std::string& target, const std::string& name) const
    {
        return ::symlink(target.c_str(), at(name).c_str()) == 0 &&
               ::lchown(at(name).c_str(), kOtherUid, kOtherUid) == 0;
    }

    std::string dir;
    LinuxFileSystem files;
};

// What counts as a file: a regular one, reached through links of our own.
TEST_F(LinuxFiles, OnlyRegularFilesAreFilesAndNoReadWaits)
{
    write("plain", "a\r\nb");
    ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", at("zero").c_str()), 0);
    ASSERT_EQ(::symlink(at("plain").c_str(), at("own link").c_str()), 0);
    ASSERT_EQ(::symlink("own link", at("link to link").c_str()), 0);
    ASSERT_EQ(::symlink(at("missing").c_str(), at("dangling").c_str()), 0);
    ASSERT_EQ(::symlink(at("loop").c_str(), at("loop").c_str()), 0);
    fs::create_directory(at("folder"));
    struct Case {
        const char* name;
        bool file;
    };
    for (const Case c : {Case{"plain", true}, Case{"fifo", false}, Case{"zero", false}, Case{"own link", true},
                         Case{"link to link", true}, Case{"dangling", false}, Case{"loop", false},
                         Case{"folder", false}, Case{"missing", false}}) {
        EXPECT_EQ(files.fileExists(at(c.name)), c.file) << c.name;
        std::string content = "untouched";
        EXPECT_EQ(files.readFile(at(c.name), content).ok, c.file) << c.name;
        EXPECT_EQ(content, c.file ? "a\r\nb" : "untouched") << c.name;
        std::string streamed;
        EXPECT_EQ(files
                      .readChunks(at(c.name),
                                  [&](std::string_view piece) {
                                      streamed.append(piece);
                                      return true;
                                  })
                      .ok,
                  c.file)
            << c.name;
        EXPECT_EQ(streamed, c.file ? "a\r\nb" : "") << c.name;
        EXPECT_EQ(files.identity(at(c.name)).has_value(), c.file) << c.name;
    }
}

TEST_F(LinuxFiles, ReadingInPiecesHandsOverEveryByteOnceAndCanStopEarly)
{
    const std::string big(200'000, 'x');
    write("big", big + "end");
    std::size_t total = 0;
    std::size_t largest = 0;
    int pieces = 0;
    ASSERT_TRUE(files
                    .readChunks(at("big"),
                                [&](std::string_view piece) {
                                    total += piece.size();
                                    largest = std::max(largest, piece.size());
                                    ++pieces;
                                    return true;
                                })
                    .ok);
    EXPECT_EQ(total, big.size() + 3);
    EXPECT_LE(largest, 64u * 1024u);
    int stopped = 0;
    EXPECT_TRUE(files.readChunks(at("big"), [&](std::string_view) { return ++stopped < 2; }).ok);
    EXPECT_EQ(stopped, 2);
}

// A write never goes through anything that is no file of ours: a pipe, a
// device or a link that leads nowhere is replaced by a regular file.
TEST_F(LinuxFiles, AReplacedEntryThatIsNoFileBecomesARegularFile)
{
    ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/null", at("null").c_str()), 0);
    ASSERT_EQ(::symlink(at("missing").c_str(), at("dangling").c_str()), 0);
    for (const char* name : {"fifo", "null", "dangling"}) {
        ASSERT_TRUE(files.replaceFile(at(name), "new").ok) << name;
        struct stat st {};
        ASSERT_EQ(::lstat(at(name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
        EXPECT_EQ(read(name), "new") << name;
    }
    EXPECT_FALSE(fs::exists(at("missing")));
    struct stat null {};
    ASSERT_EQ(::stat("/dev/null", &null), 0);
    EXPECT_TRUE(S_ISCHR(null.st_mode));

    // A link of our own to a file is followed and stays.
    write("target", "old");
    ASSERT_EQ(::symlink(at("target").c_str(), at("own").c_str()), 0);
    ASSERT_TRUE(files.replaceFile(at("own"), "through").ok);
    EXPECT_TRUE(fs::is_symlink(at("own")));
    EXPECT_EQ(read("target"), "through");
    ASSERT_TRUE(files.appendFile(at("own"), "+").ok);
    EXPECT_EQ(read("target"), "through+");
}

TEST_F(LinuxFiles, ALinkOfAnotherUserIsNeitherReadNorWrittenThrough)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can plant a link owned by another user";
    write("victim", "secret");
    ASSERT_TRUE(plantForeignLink(at("victim"), "planted"));
    EXPECT_FALSE(files.fileExists(at("planted")));
    std::string content;
    EXPECT_FALSE(files.readFile(at("planted"), content).ok);
    EXPECT_FALSE(files.identity(at("planted")));
    EXPECT_EQ(files.dateStamp(at("planted")), -1);
    EXPECT_FALSE(files.appendFile(at("planted"), "x").ok);
    EXPECT_FALSE(files.makeWritable(at("planted")));
    EXPECT_FALSE(files.copyFile(at("planted"), at("copy")));

    ::chmod(at("victim").c_str(), 0640);
    ASSERT_TRUE(files.replaceFile(at("planted"), "ours").ok);
    EXPECT_EQ(read("victim"), "secret");
    struct stat st {};
    ASSERT_EQ(::lstat(at("planted").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_uid, ::geteuid());
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << "a new file under the user's umask";

    // A link of ours that leads on to a foreign link is not followed either.
    ASSERT_TRUE(plantForeignLink(at("victim"), "planted2"));
    ASSERT_EQ(::symlink(at("planted2").c_str(), at("own").c_str()), 0);
    EXPECT_FALSE(files.fileExists(at("own")));

    // Deleting a planted link deletes the link, never its target.
    EXPECT_TRUE(files.deleteFile(at("planted2")));
    EXPECT_EQ(read("victim"), "secret");
}

TEST_F(LinuxFiles, AnExecutableIsTrustedOnlyWhenNobodyElseCanChangeIt)
{
    write("trovan.exe", "#!/bin/sh\n");
    fs::create_directory(at("sub"));
    write("sub/trovan.exe", "#!/bin/sh\n");
    struct Case {
        const char* what;
        std::function<void()> setUp;
        bool others;
    };
    const std::string exe = at("sub/trovan.exe");
    const Case cases[] = {
        {"ours, 0755", [&] { ::chmod(exe.c_str(), 0755); }, false},
        {"group may write", [&] { ::chmod(exe.c_str(), 0775); }, true},
        {"everyone may write", [&] { ::chmod(exe.c_str(), 0757); }, true},
        {"folder open to everyone", [&] { ::chmod(at("sub").c_str(), 0777); }, true},
        {"folder open to its group", [&] { ::chmod(at("sub").c_str(), 0775); }, true},
        {"sticky folder open to everyone", [&] { ::chmod(at("sub").c_str(), 01777); }, false},
        {"folder above open to everyone", [&] { ::chmod(dir.c_str(), 0777); }, true},
    };
    for (const Case& c : cases) {
        ::chmod(exe.c_str(), 0755);
        ::chmod(at("sub").c_str(), 0755);
        ::chmod(dir.c_str(), 0755);
        c.setUp();
        EXPECT_EQ(files.othersCanChange(exe), c.others) << c.what;
    }
    ::chmod(dir.c_str(), 0755);
    ::chmod(at("sub").c_str(), 0755);

    // Through a link: both the link's folder and the file's count.
    ::chmod(exe.c_str(), 0755);
    ASSERT_EQ(::symlink(exe.c_str(), at("link.exe").c_str()), 0);
    EXPECT_FALSE(files.othersCanChange(at("link.exe")));
    ::chmod(at("sub").c_str(), 0777);
    EXPECT_TRUE(files.othersCanChange(at("link.exe")));
    ::chmod(at("sub").c_str(), 0755);
    EXPECT_TRUE(files.othersCanChange(at("missing.exe"))) << "what cannot be looked at is not vouched for";

    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(exe.c_str(), kOtherUid, kOtherUid), 0);
        EXPECT_TRUE(files.othersCanChange(exe)) << "owned by another user";
        ASSERT_EQ(::chown(exe.c_str(), 0, 0), 0);
        ASSERT_EQ(::chown(at("sub").c_str(), kOtherUid, kOtherUid), 0);
        EXPECT_TRUE(files.othersCanChange(exe)) << "in a folder of another user";
    }
}

// The metrics file: whatever stands where its new content is written first is replaced, never written through
// or waited on, and a reader sees the old file or the new one.
TEST_F(LinuxFiles, APublishedFileTakesTheOldOnesPlaceWhateverStoodBesideIt)
{
    LinuxFilePublisher publisher;
    const struct {
        const char* planted;
        std::function<void(const std::string& temp)> plant;
    } rows[] = {
        {"nothing", [](const std::string&) {}},
        {"a file left by a run that died", [this](const std::string&) { write(".ovin.prom.tmp", "half"); }},
        {"a pipe", [](const std::string& temp) { ASSERT_EQ(::mkfifo(temp.c_str(), 0600), 0); }},
        {"a link to another file",
         [this](const std::string& temp) { ASSERT_EQ(::symlink(at("victim").c_str(), temp.c_str()), 0); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.planted);
        write("victim", "keep");
        write("ovin.prom", "old\n");
        std::ifstream reader(at("ovin.prom"), std::ios::binary);
        row.plant(at(".ovin.prom.tmp"));
        const Result published = publisher.publish(at("ovin.prom"), "new\n");
        EXPECT_TRUE(published.ok) << published.error;
        EXPECT_EQ(read("ovin.prom"), "new\n");
        EXPECT_EQ(read("victim"), "keep");
        EXPECT_FALSE(fs::exists(fs::symlink_status(at(".ovin.prom.tmp"))));
        const std::string held{std::istreambuf_iterator<char>(reader), {}};
        EXPECT_EQ(held, "old\n") << "a reader keeps the file it opened";
    }
    EXPECT_FALSE(publisher.publish(at("no folder/ovin.prom"), "x").ok);
}

TEST_F(LinuxFiles, AMetricsFolderMustBeAFolderThatExists)
{
    LinuxFilePublisher publisher;
    write("file", "x");
    fs::create_directory(at("folder"));
    for (const auto& [name, usable] : {std::pair{"folder", true}, {"file", false}, {"missing", false}})
        EXPECT_EQ(publisher.checkFolder(at(name)).ok, usable) << name;
    EXPECT_EQ(publisher.checkFolder(at("missing")).error, "No such file or directory");
}

}  // namespace
}  // namespace ovin
