// The data log: lines accumulate across runs; a line is written whole or not
// at all, never glued to a fragment, and every failure is told.
#include "support/TestFiles.h"

#include "app/ui/DataLogFile.h"

#include <QtTest>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace {

std::string Text(const std::string& path) {
    const Bytes bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

class DataLogFileTest : public QObject {
    Q_OBJECT

private slots:
    void linesAccumulateAndNothingIsLost() {
        TempDir dir;
        const std::string path = dir.Write("log.txt", Bytes{'o', 'l', 'd', '\n'});
        std::string problem;
        {
            DataLogFile log;
            log.Open(path);
            QVERIFY(log.Write("FFT\t1\n", problem));
            // Written at once: another program sees the line at once.
            QCOMPARE(Text(path), std::string("old\nFFT\t1\n"));
        }
        DataLogFile again;
        again.Open(path);
        QVERIFY(again.Write("SON\t2\n", problem));
        again.Close();
        QVERIFY(!again.Write("lost\n", problem));
        QVERIFY(!problem.empty());
        QCOMPARE(Text(path), std::string("old\nFFT\t1\nSON\t2\n"));
    }

    void theFileIsMadeByTheFirstLineOnly() {
        TempDir dir;
        const std::string path = dir.Path() + "/DataLog.txt";
        DataLogFile log;
        log.Open(path);
        QVERIFY(!std::filesystem::exists(path));

        std::string problem;
        QVERIFY(log.Write("RMS\t3\n", problem));
        QCOMPARE(Text(path), std::string("RMS\t3\n"));

        // A new name takes the next line; the old file keeps what it has.
        const std::string other = dir.Path() + "/other.txt";
        log.Open(other);
        QVERIFY(log.Write("FFT\t4\n", problem));
        QCOMPARE(Text(other), std::string("FFT\t4\n"));
        QCOMPARE(Text(path), std::string("RMS\t3\n"));
    }

    void aFragmentIsEndedBeforeTheNextLine() {
        TempDir dir;
        const std::string path = dir.Write("log.txt", Bytes{'F', 'F', 'T', '\t', '1'});
        DataLogFile log;
        log.Open(path);
        std::string problem;
        QVERIFY(log.Write("SON\t2\n", problem));
        QCOMPARE(Text(path), std::string("FFT\t1\nSON\t2\n"));
    }

    void failuresAreToldAndLeaveTheFileAsItWas() {
        TempDir dir;
        // A missing folder, a named pipe nobody reads (refused at once, not
        // waited on) and a device are all refused with a reason.
        for (const std::string& path :
             {dir.Path() + "/missing/dir/log.txt", dir.Fifo("pipe"), std::string("/dev/full")}) {
            DataLogFile log;
            log.Open(path);
            std::string problem;
            QVERIFY2(!log.Write("FFT\t1\n", problem), path.c_str());
            QVERIFY2(problem.find(path) != std::string::npos, problem.c_str());
        }
        QVERIFY(!std::filesystem::exists(dir.Path() + "/missing"));

        // A disk that takes only part of the line (here a file size limit,
        // as a full disk would): the part is taken back, and the next line
        // after space came back starts clean.
        const std::string path = dir.Write("log.txt", Bytes{'o', 'l', 'd', '\n'});
        DataLogFile log;
        log.Open(path);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 4 + 5;
        setrlimit(RLIMIT_FSIZE, &small);
        std::string problem;
        const bool written = log.Write("FFT\t1\t1000.0\n", problem);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QVERIFY(!problem.empty());
        QCOMPARE(Text(path), std::string("old\n"));
        QVERIFY(log.Write("SON\t2\n", problem));
        QCOMPARE(Text(path), std::string("old\nSON\t2\n"));
    }
};

QTEST_MAIN(DataLogFileTest)
#include "DataLogFileTest.moc"
