// The data log: lines accumulate across runs, a failed open writes nothing.
#include "support/TestFiles.h"

#include "app/ui/DataLogFile.h"

#include <QtTest>
#include <filesystem>

class DataLogFileTest : public QObject {
    Q_OBJECT

private slots:
    void linesAccumulateAndNothingIsLost() {
        TempDir dir;
        const std::string path = dir.Write("log.txt", Bytes{'o', 'l', 'd', '\n'});
        {
            DataLogFile log;
            log.Open(path);
            log.Write("FFT\t1\n");
            QVERIFY(log.IsOpen());
            // Written at once: another program sees the line while the log is open.
            const Bytes now = ReadFileBytes(path);
            QCOMPARE(std::string(now.begin(), now.end()), std::string("old\nFFT\t1\n"));
        }
        DataLogFile again;
        again.Open(path);
        again.Write("SON\t2\n");
        again.Close();
        again.Write("lost\n");
        QVERIFY(!again.IsOpen());
        const Bytes all = ReadFileBytes(path);
        QCOMPARE(std::string(all.begin(), all.end()), std::string("old\nFFT\t1\nSON\t2\n"));

        DataLogFile nowhere;
        nowhere.Open(dir.Path() + "/missing/dir/log.txt");
        nowhere.Write("x\n");
        QVERIFY(!nowhere.IsOpen());
        QVERIFY(!std::filesystem::exists(dir.Path() + "/missing"));
    }

    void theFileIsMadeByTheFirstLineOnly() {
        TempDir dir;
        const std::string path = dir.Path() + "/DataLog.txt";
        DataLogFile log;
        log.Open(path);
        QVERIFY(!std::filesystem::exists(path));
        log.Close();
        QVERIFY(!std::filesystem::exists(path));

        // Named again (the options sheet accepted), then written to.
        log.Open(path);
        log.Write("RMS\t3\n");
        const Bytes written = ReadFileBytes(path);
        QCOMPARE(std::string(written.begin(), written.end()), std::string("RMS\t3\n"));

        // A new name takes the next line; the old file keeps what it has.
        const std::string other = dir.Path() + "/other.txt";
        log.Open(other);
        log.Write("FFT\t4\n");
        const Bytes moved = ReadFileBytes(other);
        QCOMPARE(std::string(moved.begin(), moved.end()), std::string("FFT\t4\n"));
        QCOMPARE(ReadFileBytes(path).size(), size_t(6));
    }
};

QTEST_MAIN(DataLogFileTest)
#include "DataLogFileTest.moc"
