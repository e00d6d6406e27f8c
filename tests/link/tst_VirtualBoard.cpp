#include "support/TestSupport.h"

#include "LinkTestSupport.h"

#include "link/ServoLink.h"
#include "link/vboard/FrameDecoder.h"

#include <QProcess>

class TestVirtualBoard : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void decoderResynchronises_data() { AddTestDataRows(QStringLiteral("link/decoder-frames.txt")); }
    void decoderResynchronises()
    {
        QFETCH(QStringList, row);
        const auto hex = [&](int field) { return QByteArray::fromHex(row[field].toLatin1()); };
        const int sync = quint8(hex(1)[0]), skipped = row[4].toInt();
        // Byte by byte and all at once decode the same.
        for (bool split : {false, true}) {
            FrameDecoder decoder{quint8(sync)};
            QList<ServoFrame> got;
            if (split) {
                for (char c : hex(2))
                    got += decoder.Feed(QByteArray(1, c));
            } else {
                got = decoder.Feed(hex(2));
            }
            QByteArray pairs;
            for (const ServoFrame &f : got) {
                QCOMPARE(f.sync, quint8(sync));
                pairs.append(char(f.servo)).append(char(f.position));
            }
            QCOMPARE(pairs, hex(3));
            QCOMPARE(decoder.SkippedBytes(), qint64(skipped));
        }
    }

    void programEndToEnd()
    {
        const QString linkPath = QDir(qEnvironmentVariable("HOME")).filePath(QStringLiteral("vboard"));
        QProcess vboard;
        vboard.setProgram(QStringLiteral(TAVELOQ_VBOARD_PROGRAM));
        vboard.setArguments({QStringLiteral("--link"), linkPath, QStringLiteral("--sync"), QStringLiteral("200")});
        vboard.start();
        QVERIFY(vboard.waitForStarted(5000));
        QVERIFY(vboard.waitForReadyRead(5000));
        QString out = QString::fromLocal8Bit(vboard.readAll());
        QVERIFY2(out.startsWith(QStringLiteral("Virtual servo board on ") + linkPath), qPrintable(out));
        QVERIFY(QFileInfo(linkPath).isSymLink());

        // Users map a port number to the printed name; the normal link opens it.
        SerialPortMap::SetDevicePath(2, linkPath);
        ProgramPropertyStore properties;
        properties.SetValue(ProgramPropertyStore::Field::SynchByte, QStringLiteral("200"));
        ServoLink link(properties);
        link.SetCommPort(QStringLiteral("2"));
        link.SetSettings(QStringLiteral("9600,N,8,1"));
        link.Open();
        link.SendServoFrame(3, 127);
        link.SendServoFrame(15, 0);
        link.SendServoFrame(0, 255);

        // One line a frame, in the order sent.
        QTRY_VERIFY_WITH_TIMEOUT((out += QString::fromLocal8Bit(vboard.readAll())).contains("servo  0  position 255"),
                                 5000);
        QVERIFY2(out.indexOf("servo  3  position 127") < out.indexOf("servo 15  position   0") &&
                     out.indexOf("servo  3  position 127") > 0,
                 qPrintable(out));

        link.Close();
        vboard.terminate();
        QVERIFY(vboard.waitForFinished(5000));
        QCOMPARE(vboard.exitCode(), 0);
        QVERIFY(!QFileInfo(linkPath).isSymLink());
    }

    void programRejectsBadUsage()
    {
        for (const QStringList &arguments : {QStringList{"--sync", "256"}, QStringList{"--bogus"}}) {
            QProcess vboard;
            vboard.start(QStringLiteral(TAVELOQ_VBOARD_PROGRAM), arguments);
            QVERIFY(vboard.waitForFinished(5000));
            QCOMPARE(vboard.exitCode(), 2);
        }
    }
};

TQ_TEST_MAIN(TestVirtualBoard)
#include "tst_VirtualBoard.moc"
