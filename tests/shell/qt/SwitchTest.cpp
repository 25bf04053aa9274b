#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "platform/Platform.h"
#include "shell/sParametry.h"

namespace ovin {

namespace {

// The switch test on the real files of this machine.
bool hasSwitch(const QString& word, const QStringList& arguments, const QString& paramFile)
{
    static const std::unique_ptr<FileSystem> files = createFileSystem();
    std::vector<std::string> args;
    for (const QString& a : arguments)
        args.push_back(a.toStdString());
    return HasSwitch(word.toStdString(), args, QFile::encodeName(paramFile).toStdString(), *files);
}

}  // namespace

class SwitchTest : public QObject {
    Q_OBJECT
private slots:
    void wordsOnTheCommandLineAndInTheParameterFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("paramFile");
        QTest::addColumn<bool>("found");
        const QStringList none{"/app/ovin"};
        QTest::newRow("capitals") << QStringList{"/app/ovin", "SHOW"} << QString() << true;
        QTest::newRow("mixed case") << QStringList{"/app/ovin", "x", "Show"} << QString() << true;
        QTest::newRow("slash prefix") << QStringList{"/app/ovin", "/show"} << QString() << false;
        QTest::newRow("dash prefix") << QStringList{"/app/ovin", "-show"} << QString() << false;
        QTest::newRow("program path is no switch") << QStringList{"show"} << QString() << false;
        QTest::newRow("file line") << none << QString("d\r\nshow\r\n") << true;
        QTest::newRow("file line with LF only") << none << QString("show\n") << true;
        QTest::newRow("file line in capitals") << none << QString("SHOW") << true;
        QTest::newRow("leading blank in file") << none << QString(" show\r\n") << false;
        QTest::newRow("file without the word") << none << QString("shown\r\n") << false;
        QTest::newRow("Czech letters lower-cased") << QStringList{"/app/ovin", "ŠOU"} << QString() << false;
    }

    void wordsOnTheCommandLineAndInTheParameterFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, paramFile);
        QFETCH(bool, found);
        QTemporaryDir dir;
        const QString path = dir.filePath("tmp_param");
        if (!paramFile.isNull()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(paramFile.toUtf8());
        }
        QCOMPARE(hasSwitch("show", arguments, path), found);
    }

    void czechWordsMatchInAnyCase() { QVERIFY(hasSwitch("šou", {"/app/ovin", "ŠOU"}, "/nonexistent/tmp_param")); }

    void anUnreadableParameterFileIsAnError()
    {
        QTemporaryDir dir;
        // A folder cannot be read as a file even by the super-user.
        QVERIFY(QDir(dir.path()).mkdir("tmp_param"));
        QCOMPARE(hasSwitch("show", {"/app/ovin"}, dir.filePath("tmp_param")), false);
        QFile f(dir.filePath("unreadable"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("show\n");
        f.close();
        f.setPermissions(QFileDevice::Permissions());
        if (QFile(dir.filePath("unreadable")).open(QIODevice::ReadOnly))
            QSKIP("the super-user reads files without read permission");
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, hasSwitch("show", {"/app/ovin"}, dir.filePath("unreadable")));
    }

    // Only a regular file is read: a pipe would wait for a writer and a
    // device may never end, and either would hold up the start for good.
    void pipesAndDevicesAreNoParameterFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pipe") << "fifo";
        QTest::newRow("link to /dev/zero") << "zero";
        QTest::newRow("link to a pipe") << "fifo link";
    }

    void pipesAndDevicesAreNoParameterFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("tmp_param"));
        const QByteArray fifo = QFile::encodeName(dir.filePath("fifo"));
        if (kind == "fifo")
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        if (kind == "zero")
            QCOMPARE(::symlink("/dev/zero", path.constData()), 0);
        if (kind == "fifo link") {
            QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
            QCOMPARE(::symlink(fifo.constData(), path.constData()), 0);
        }
        const auto start = std::chrono::steady_clock::now();
        QCOMPARE(hasSwitch("show", {"/app/ovin"}, dir.filePath("tmp_param")), false);
        QVERIFY(std::chrono::steady_clock::now() - start < std::chrono::seconds(1));
    }

    void longLinesAreReadInPiecesAndNeverMatch()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath("tmp_param"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(1 << 20, 's'));
        f.write("\r\nshow" + QByteArray(5000, 'w') + "\n");
        f.close();
        QCOMPARE(hasSwitch("show", {"/app/ovin"}, f.fileName()), false);
        QVERIFY(f.open(QIODevice::Append));
        f.write("\r\nSHOW");
        f.close();
        QCOMPARE(hasSwitch("show", {"/app/ovin"}, f.fileName()), true);
    }
};

}  // namespace ovin

QTEST_GUILESS_MAIN(ovin::SwitchTest)
#include "SwitchTest.moc"
