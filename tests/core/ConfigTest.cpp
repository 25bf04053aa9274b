#include <gtest/gtest.h>

#include "settings/Config.h"
#include "settings/OvinError.h"
#include "support/Fakes.h"

namespace ovin {
namespace {

using test::FakeFileSystem;

constexpr const char* kIni = "/app/ovin.ini";
constexpr const char* kBackup = "/app/ovin.ini.old";

const std::string kDefaultFile =
    "[conf]\r\nMazatRequest=0\r\nHlidatZdaTrovanJede=0\r\nZobrazitIkonu=1\r\nMaxStejnyRequest=5\r\n"
    "MaxStariRequest=600\r\nMaxRadkuRequest=1\r\nCekaniNaTrovan=10\r\nInterval=30000\r\nJinyAdrReq=0\r\nAdrReq=\r\n";

class ConfigTest : public ::testing::Test {
protected:
    void start()
    {
        conf.BackupSettingsFile();
        conf.LoadSettings();
        conf.SaveSettings();
    }
    FakeFileSystem files;
    TConf conf{files, "/app/"};
};

TEST_F(ConfigTest, FirstStartCreatesTheDefaultFileAndNoBackup)
{
    start();
    EXPECT_EQ(files.files.at(kIni).content, kDefaultFile);
    EXPECT_FALSE(files.fileExists(kBackup));
    EXPECT_EQ(conf.SettingsSummary(),
              "MazatRequest=b0\r\nHlidatZdaTrovanJede=b0\r\nZobrazitIkonu=b1\r\nMaxStejnyRequest=5\r\n"
              "MaxStariRequest=600\r\nMaxRadkuRequest=1\r\nCekaniNaTrovan=10\r\nInterval=30000\r\n"
              "JinyAdrReq=b0\r\nAdrReq=\r\n");
}

TEST_F(ConfigTest, AHandWrittenFileIsBackedUpAsItWasAndRewrittenKeepingTheRest)
{
    const std::string handWritten =
        "; written by hand\n[other]\nkeep=me\n[CONF]\nInterval=0x7530\nZobrazitIkonu=2\nMaxStejnyRequest=five\n"
        "mazatrequest = 1\nMaxStariRequest=-1\nAdrReq= /srv/router/ \n";
    files.touch(kIni, handWritten);
    start();
    EXPECT_EQ(files.files.at(kBackup).content, handWritten);
    EXPECT_EQ(files.files.at(kIni).content,
              "; written by hand\n[other]\nkeep=me\n[CONF]\nInterval=30000\nZobrazitIkonu=1\nMaxStejnyRequest=5\n"
              "mazatrequest=1\nMaxStariRequest=-1\nAdrReq=/srv/router/\nHlidatZdaTrovanJede=0\r\n"
              "MaxRadkuRequest=1\r\nCekaniNaTrovan=10\r\nJinyAdrReq=0\r\n");
    EXPECT_TRUE(conf.MazatRequest);
    EXPECT_EQ(conf.MaxStariRequest, -1);
    EXPECT_NE(conf.SettingsSummary().find("MaxStariRequest=-1\r\n"), std::string::npos);
}

TEST_F(ConfigTest, SecondStartBacksUpTheFileByteForByte)
{
    start();
    start();
    EXPECT_EQ(files.files.at(kBackup).content, kDefaultFile);
}

TEST_F(ConfigTest, AReadOnlyBackupSurvivesAndNoNewerOneReplacesIt)
{
    files.touch(kBackup, "old backup");
    files.files.at(kBackup).readOnly = true;
    files.touch(kIni, "[conf]\nInterval=1000\n");
    start();
    EXPECT_EQ(files.files.at(kBackup).content, "old backup");
}

TEST_F(ConfigTest, AFailedWriteNamesTheFileAndWritesNothing)
{
    files.touch(kIni, "[conf]\nInterval=1000\n");
    files.files.at(kIni).readOnly = true;
    conf.LoadSettings();
    conf.Interval = 5;
    try {
        conf.SaveSettings();
        FAIL() << "the write should fail";
    } catch (const OvinError& e) {
        EXPECT_STREQ(e.what(), "Unable to write to /app/ovin.ini");
    }
    EXPECT_EQ(files.files.at(kIni).content, "[conf]\nInterval=1000\n");
}

TEST_F(ConfigTest, AFileThatCannotBeReadIsNotOverwrittenWithDefaults)
{
    files.touch(kIni, "[conf]\nInterval=1000\n[mine]\nprecious=1\n");
    files.files.at(kIni).unreadable = true;
    conf.LoadSettings();
    EXPECT_EQ(conf.Interval, 30000);
    EXPECT_THROW(conf.SaveSettings(), OvinError);
    EXPECT_EQ(files.files.at(kIni).content, "[conf]\nInterval=1000\n[mine]\nprecious=1\n");
}

struct PathCase {
    bool other;
    const char* folder;
    const char* expected;
};

class RequestFilePath : public ::testing::TestWithParam<PathCase> {};

TEST_P(RequestFilePath, FollowsTheOtherFolderSwitch)
{
    FakeFileSystem files;
    TConf conf(files, "/app/");
    conf.JinyAdrReq = GetParam().other;
    conf.AdrReq = GetParam().folder;
    EXPECT_EQ(conf.RequestFilePath(), GetParam().expected);
    EXPECT_EQ(conf.RouterExePath(), "/app/trovan.exe");
}

INSTANTIATE_TEST_SUITE_P(Paths, RequestFilePath,
                         ::testing::Values(PathCase{false, "/data", "/app/request.cfg"},
                                           PathCase{true, "", "/app/request.cfg"},
                                           PathCase{true, "/data", "/data/request.cfg"},
                                           PathCase{true, "/data/", "/data/request.cfg"},
                                           PathCase{true, "C:\\data\\", "C:\\data\\request.cfg"},
                                           PathCase{true, " rel", " rel/request.cfg"}));

}  // namespace
}  // namespace ovin
