#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "link/ServoLink.h"
#include "platform/FileDialogService.h"
#include "platform/Services.h"
#include "program/ProgramListing.h"
#include "servos/ServoPanel.h"
#include "servos/frmServoControl.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>

namespace {

// Answers file dialogs with a fixed name and records what they were asked to show.
class ScriptedDialogs final : public IFileDialogService
{
public:
    QString answer;
    QList<FileDialogRequest> asked;
    QString choose(const FileDialogRequest &request) override
    {
        asked << request;
        return answer;
    }
};

} // namespace

class TestServoControl : public TestBase
{
    Q_OBJECT

    ProgramPropertyStore m_store;
    ServoModel m_servos;
    ServoLink m_link{m_store};
    ProgramListing m_listing{DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp")};
    std::unique_ptr<frmServoControl> m_form;
    ScriptedDialogs m_dialogs;

    QByteArray tempFile() const { return ReadWholeFileBytes(m_listing.TempFilePath()); }
    void makeForm()
    {
        m_form = std::make_unique<frmServoControl>(m_servos, m_listing, m_store, m_link);
        m_form->Load();
    }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        QDir().mkpath(DataPaths::UserDataFolder());
        m_listing.CreateTempFile();
        m_listing.Reset({});
        m_store.SetProperties({});
        for (int servo = 0; servo < kServoCount; ++servo) {
            m_servos.SetEnabled(servo, true);
            m_servos.SetLabel(servo, ServoModel::DefaultLabel(servo));
        }
        m_servos.SetLoadedScripts({});
        m_dialogs = ScriptedDialogs{};
        Services::setFileDialogs(&m_dialogs);
        makeForm();
        m_form->show();
    }
    void cleanup()
    {
        m_form.reset();
        Services::setFileDialogs(nullptr);
        TestBase::cleanup();
    }

    void loadSetsPanelsFromProperties()
    {
        m_form.reset();
        m_store.SetProperties({.ServoMax = "200", .ServoMin = "10", .ServoCenter = "100"});
        const QString longLabel = QStringLiteral("A very long label for the elbow joint servo");
        m_servos.SetLabel(13, longLabel);
        m_servos.SetLabel(9, QString());
        makeForm();
        // A long label is cut (whole in the tooltip); neither it nor an empty one changes the panel's size.
        QCOMPARE(m_form->panel(13)->toolTip(), longLabel);
        for (int servo : {9, 13})
            QCOMPARE(m_form->panel(servo)->minimumSizeHint(), m_form->panel(0)->minimumSizeHint());
        for (int servo : {0, 7, 8, 15}) {
            QCOMPARE(m_form->vscServo(servo)->minimum(), 10);
            QCOMPARE(m_form->vscServo(servo)->maximum(), 200);
            QCOMPARE(m_form->vscServo(servo)->value(), 100);
            QCOMPARE(m_form->lblServoValue(servo)->text(), QStringLiteral("100"));
            QCOMPARE(m_servos.Position(servo), qint16(100));
        }
    }

    void offlineSliderUpdatesLabelAndPosition()
    {
        QSlider *s = m_form->vscServo(4);
        s->setValue(200);
        QCOMPARE(m_form->lblServoValue(4)->text(), QStringLiteral("200"));
        QCOMPARE(m_servos.Position(4), qint16(200));

        // A drag shows each value but records the position only when it ends.
        s->setSliderDown(true);
        s->setSliderPosition(150);
        QCOMPARE(m_form->lblServoValue(4)->text(), QStringLiteral("150"));
        QCOMPARE(m_servos.Position(4), qint16(200));
        s->setSliderDown(false);
        QCOMPARE(m_servos.Position(4), qint16(150));

        // Keys move by one.
        s->setFocus();
        QTest::keyClick(s, Qt::Key_Right);
        QCOMPARE(m_servos.Position(4), qint16(151));

        QTest::mousePress(s, Qt::LeftButton, {}, QPoint(s->width() - 2, s->height() / 2)); // then a modal box
        QDialog box;
        box.open();
        QVERIFY(!QTest::qWaitFor([s] { return s->value() > 152; }, 1500));
    }

    void logAppendsMovLineAtTheEnd()
    {
        m_listing.Reset({QStringLiteral("Pause 10"), QStringLiteral("Mov 1,20")});
        QTest::mouseClick(m_form->cmdLog(3), Qt::LeftButton);
        QCOMPARE(tempFile(), QByteArray("Pause 10\r\nMov 1,20\r\nMov 3,127\r\n"));
        QCOMPARE(m_listing.UndoText(), QStringLiteral("Log"));

        m_form->vscServo(15)->setValue(0);
        QTest::mouseClick(m_form->cmdLog(15), Qt::LeftButton);
        QVERIFY(tempFile().endsWith("Mov 3,127\r\nMov 15,0\r\n"));
    }

    void logKeepsTheListingWhenTheFileCannotBeRead()
    {
        // A folder where the file should be: reading fails, nothing may be written.
        QFile::remove(m_listing.TempFilePath());
        QDir().mkpath(m_listing.TempFilePath());
        QTest::mouseClick(m_form->cmdLog(0), Qt::LeftButton);
        const QStringList texts = TestMessages().takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY(texts.first().startsWith(QStringLiteral("Routine Code: 0087\r\n")));
        QVERIFY(QFileInfo(m_listing.TempFilePath()).isDir());
        QDir().rmdir(m_listing.TempFilePath());
    }

    void insertPause_data() { AddTestDataRows(QStringLiteral("servos/insert-pause.txt")); }
    void insertPause()
    {
        QFETCH(QStringList, row);
        const QString entry = row[1];
        const bool valid = row[2] == QLatin1String("valid");
        m_listing.Reset({QStringLiteral("Mov 0,1")});
        m_form->Text1()->setText(entry);
        m_form->Text1()->setFocus();
        if (row[3] == QLatin1String("Enter"))
            QTest::keyClick(m_form->Text1(), Qt::Key_Return);
        else
            QTest::mouseClick(m_form->cmdInsertPause(), Qt::LeftButton);
        QCOMPARE(m_form->Text1()->text(), QStringLiteral("0"));
        if (valid) {
            QCOMPARE(tempFile(), QByteArray("Mov 0,1\r\nPause ") + entry.toLatin1() + "\r\n");
            QCOMPARE(m_listing.Items(), (QStringList{QStringLiteral("Mov 0,1"), QStringLiteral("Pause ") + entry}));
        } else {
            ExpectMessage(QStringLiteral("The Pause value is invalid."), MsgIcon::Information);
            QCOMPARE(tempFile(), QByteArray("Mov 0,1\r\n"));
        }
    }

    void pauseBoxShowsAThousandWhole()
    {
        QLineEdit *box = m_form->Text1();
        box->setText(QStringLiteral("1,000"));
        const auto cursorX = [box](int position) {
            box->setCursorPosition(position);
            box->grab(); // painting scrolls the text to the cursor when it does not fit
            return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        };
        const int first = cursorX(0);
        QVERIFY(cursorX(5) - first >= box->fontMetrics().horizontalAdvance(box->text()) - 1);
    }

    void insertScript()
    {
        QTest::mouseClick(m_form->cmdInsertScript(), Qt::LeftButton);
        QCOMPARE(TestMessages().takeTexts(),
                 QStringList{QStringLiteral("You must first select a script file to insert.")});
        QCOMPARE(tempFile(), QByteArray());

        m_servos.SetLoadedScripts({QStringLiteral("wave.tqs"), QStringLiteral("NOD.TQS")});
        QCOMPARE(m_form->File1()->currentIndex().row(), 0);
        m_form->File1()->setCurrentIndex(m_form->File1()->model()->index(1, 0));
        QTest::mouseClick(m_form->cmdInsertScript(), Qt::LeftButton);
        QCOMPARE(tempFile(), QByteArray("Script NOD.tqs\r\n")); // a line the reader keeps
    }

    void insertWav()
    {
        QTest::mouseClick(m_form->cmdBrowseWav(), Qt::LeftButton);
        QCOMPARE(m_dialogs.asked.size(), 1);
        QCOMPARE(tempFile(), QByteArray());

        m_dialogs.answer = QStringLiteral("/home/figure/sounds/roar.wav");
        QTest::mouseClick(m_form->cmdBrowseWav(), Qt::LeftButton);
        QCOMPARE(tempFile(), QByteArray("WAV /home/figure/sounds/roar.wav\r\n"));
    }

    // Tab reads the window as the eye does, and every control says what it is: buttons by their
    // captions, fitted to a style that pads them; the focus on a slider shows.
    void keyboardFollowsTheScreen()
    {
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        m_form->cmdCenter(7)->setFocus();
        QStringList visited;
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited.join(u' '), QStringLiteral("vscServo7 cmdLog7 Text1 cmdInsertPause cmdBrowseWav File1 "
                                                    "cmdInsertScript cmdCenter8 vscServo8"));
        QCOMPARE(m_form->vscServo(8)->grab().toImage().pixelColor(0, 0), m_form->palette().color(QPalette::Highlight));
        m_form->setStyleSheet(QStringLiteral("QPushButton { padding: 2px 20px; }"));
        QVERIFY(m_form->cmdCenter(3)->width() >=
                m_form->fontMetrics().horizontalAdvance(QStringLiteral("Center")) + 40);
    }

    void disabledServoCannotBeUsed()
    {
        m_servos.SetEnabled(5, false);
        m_form->vscServo(5)->setValue(10);
        QTest::mouseClick(m_form->cmdCenter(5), Qt::LeftButton);
        QTest::mouseClick(m_form->cmdLog(5), Qt::LeftButton);
        QTest::keyClick(m_form->vscServo(5), Qt::Key_Right);
        QCOMPARE(m_form->vscServo(5)->value(), 10);
        QCOMPARE(tempFile(), QByteArray());
        // Moved by code, the slider's servo takes the position, which its label shows.
        QCOMPARE(m_form->lblServoValue(5)->text(), QStringLiteral("10"));
        QCOMPARE(m_servos.Position(5), qint16(10));

        m_servos.SetEnabled(5, true);
        m_servos.SetPosition(5, 30); // Log writes the position the slider shows
        QCOMPARE(m_form->vscServo(5)->value(), 30);
        QTest::mouseClick(m_form->cmdLog(5), Qt::LeftButton);
        QCOMPARE(tempFile(), QByteArray("Mov 5,30\r\n"));
        QTest::mouseClick(m_form->cmdCenter(5), Qt::LeftButton);
        QCOMPARE(m_form->vscServo(5)->value(), 127);
        QCOMPARE(m_servos.Position(5), qint16(127));
    }
};

TQ_TEST_GUI_MAIN(TestServoControl)
#include "tst_frmServoControl.moc"
