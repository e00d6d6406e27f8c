#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "execution/ExecutionController.h"
#include "execution/frmExecution.h"
#include "platform/Clock.h"
#include "platform/ondProgressBar.h"
#include "program/ProgramListing.h"
#include "support/TestSupport.h"

#include "FakeExecutionHost.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

class TestFrmExecution : public TestBase
{
    Q_OBJECT

    FakeHost m_host;
    VirtualClock m_clock;
    ProgramPropertyStore m_store;
    ServoModel m_servos;
    std::unique_ptr<ProgramListing> m_listing;
    std::unique_ptr<ExecutionController> m_exec;
    std::unique_ptr<frmExecution> m_window;

    template <typename T> T *child(const char *name) const
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        QDir().mkpath(DataPaths::UserDataFolder());
        m_listing = std::make_unique<ProgramListing>(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"));
        QVERIFY(WriteWholeFile(m_listing->TempFilePath(),
                               QStringLiteral("Mov 0,10\r\nPause 250\r\nWAV /x.wav\r\nScript s.tqs\r\n")));
        m_exec = std::make_unique<ExecutionController>(*m_listing, m_store, m_servos);
        m_exec->SetLink(&m_host);
        m_exec->SetClock(&m_clock);
        m_window = std::make_unique<frmExecution>(*m_exec);
        m_window->resize(600, 400);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        m_exec.reset();
        TestBase::cleanup();
    }

    void clickRemembersTheLineAndRightClickLeavesTheSelection()
    {
        m_listing->Update();
        QListView *list = m_window->List1();
        const QRect second = list->visualRect(m_listing->index(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(m_listing->SelectedInstructionIndex(), QStringLiteral("1"));
        QCOMPARE(m_listing->SelectedLine(), 1);

        QSignalSpy right(m_window.get(), &frmExecution::listRightClicked);
        const QRect fourth = list->visualRect(m_listing->index(3));
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, fourth.center());
        QCOMPARE(right.count(), 1);
        QCOMPARE(right.at(0).at(0).toInt(), 3);
        QCOMPARE(m_listing->SelectedLine(), 1);
        QCOMPARE(m_listing->SelectedInstructionIndex(), QStringLiteral("1"));
        // Below the last line: no line, nothing happens.
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(5, list->viewport()->height() - 2));
        QCOMPARE(right.count(), 1);
    }

    void executeRunsToTheSelectedLine()
    {
        m_listing->Update();
        QCOMPARE(m_listing->rowCount(), 4);
        QCOMPARE(child<QLabel>("lblProgSum3")->text(), QStringLiteral("250 ms"));

        QVERIFY(
            WriteWholeFile(m_listing->TempFilePath(), QStringLiteral("mov 0,1\r\nmov 0,2\r\nmov 0,3\r\nmov 0,4\r\n")));
        m_listing->Update();
        m_listing->SetSelectedLine(2);
        QTest::mouseClick(child<QRadioButton>("optExecOpt2"), Qt::LeftButton);
        QCOMPARE(m_exec->Mode(), ExecutionMode::RunToSelected);
        QSignalSpy ended(m_exec.get(), &ExecutionController::runEnded);
        QTest::mouseClick(child<QPushButton>("cmdExecute"), Qt::LeftButton);
        QVERIFY(ended.wait(5000));
        QCOMPARE(int(m_host.log.taken().size()), 3);
        QCOMPARE(m_window->List1()->currentIndex().row(), 2);
        QCOMPARE(m_window->ProgressBar()->Position(), 0);
        QVERIFY(child<QPushButton>("cmdExecute")->isEnabled());
        QVERIFY(!child<QPushButton>("cmdStop")->isEnabled());
    }

    // Delivered as the view gets them: where the pointer is decides the line.
    void dropsOnTheList_data() { AddTestDataRows(QStringLiteral("execution/list-drops.txt")); }
    void dropsOnTheList()
    {
        QFETCH(QStringList, row);
        m_listing->Update();
        const QStringList before = m_listing->Items();
        QModelIndexList dragged;
        for (const QString &line : row[2].split(QLatin1Char(' ')))
            dragged << m_listing->index(line.toInt());
        std::unique_ptr<QMimeData> data(row[1] == QLatin1String("lines") ? m_listing->mimeData(dragged)
                                                                         : new QMimeData);
        if (row[1] != QLatin1String("lines"))
            data->setText(row[2]); // a file manager gives a file's name as text too
        if (row[1] == QLatin1String("file"))
            data->setUrls({QUrl::fromLocalFile(row[2])});
        Q_EMIT m_exec->interfaceLocked(row[4] == QLatin1String("yes"));
        QWidget *viewport = m_window->List1()->viewport();
        const QRect line = m_window->List1()->visualRect(m_listing->index(row[3].toInt()));
        const QPoint pos = line.isValid() ? line.topLeft() + QPoint(4, 1) : QPoint(4, viewport->height() - 2);
        QDragEnterEvent enter(pos, Qt::MoveAction | Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(pos, Qt::MoveAction | Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        QCOMPARE(m_listing->Items().join(QLatin1Char('/')), row[5]);
        QCOMPARE(m_listing->UndoText(), row[6]);
        if (!row[7].isEmpty()) // any other box fails the test
            QVERIFY(TestMessages().takeTexts().value(0).startsWith(row[7]));
        m_listing->Undo();
        QCOMPARE(m_listing->Items(), before);
    }
};

TQ_TEST_GUI_MAIN(TestFrmExecution)
#include "tst_frmExecution.moc"
