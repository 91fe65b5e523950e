// The data log: lines accumulate across runs, a failed open writes nothing.
#include "support/TestFiles.h"

#include "app/ui/DataLogFile.h"

#include <QtTest>

class DataLogFileTest : public QObject {
    Q_OBJECT

private slots:
    void linesAccumulateAndNothingIsLost()
    {
        TempDir dir;
        const std::string path = dir.Write("log.txt", Bytes{'o', 'l', 'd', '\n'});
        {
            DataLogFile log;
            log.Open(path);
            QVERIFY(log.IsOpen());
            log.Write("FFT\t1\n");
            // Written at once: another program sees the line while the log is open.
            const Bytes now = ReadFileBytes(path);
            QCOMPARE(std::string(now.begin(), now.end()), std::string("old\nFFT\t1\n"));
        }
        DataLogFile again;
        again.Open(path);
        again.Write("SON\t2\n");
        again.Close();
        again.Write("lost\n");
        const Bytes all = ReadFileBytes(path);
        QCOMPARE(std::string(all.begin(), all.end()), std::string("old\nFFT\t1\nSON\t2\n"));

        DataLogFile nowhere;
        nowhere.Open(dir.Path() + "/missing/dir/log.txt");
        QVERIFY(!nowhere.IsOpen());
        nowhere.Write("x\n");
    }
};

QTEST_MAIN(DataLogFileTest)
#include "DataLogFileTest.moc"
