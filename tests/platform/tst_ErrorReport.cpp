#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/FileDialogService.h"
#include "platform/MessageService.h"
#include "support/TestSupport.h"

class TestErrorReport : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void reportHasThreeLinesAndTheApplicationTitle()
    {
        ErrorReport(QStringLiteral("0141"), AppError::pathFileAccess());
        const QList<MessageRequest> shown = TestMessages().take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, QStringLiteral("Taveloq"));
        QCOMPARE(shown[0].buttons, MsgButtons::Ok);
        QCOMPARE(shown[0].icon, MsgIcon::None);
        QCOMPARE(shown[0].text,
                 QStringLiteral("Routine Code: 0141\r\nError Numer: 75\r\nError Description: Path/File access error"));
    }

    void dialogFiltersBecomeQtNameFilters()
    {
        QCOMPARE(ToQtNameFilters(QStringLiteral("Program Files (*.tqp)|*.tqp|All Files (*.*)|*.*")),
                 (QStringList{QStringLiteral("Program Files (*.tqp)"), QStringLiteral("All Files (*)")}));
        QCOMPARE(ToQtNameFilters(QStringLiteral("Basic Stamp|*.bs2;*.bsx")),
                 QStringList{QStringLiteral("Basic Stamp (*.bs2 *.bsx)")});
        QCOMPARE(ToQtNameFilters(QStringLiteral("WAV Files    *.wav|*.wav")),
                 QStringList{QStringLiteral("WAV Files (*.wav)")});
        QCOMPARE(ToQtNameFilters(QStringLiteral("dangling")), QStringList{});
    }
};

TQ_TEST_MAIN(TestErrorReport)
#include "tst_ErrorReport.moc"
