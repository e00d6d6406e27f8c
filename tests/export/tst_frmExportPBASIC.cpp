#include "app/DataPaths.h"
#include "app/ExportSettingsStore.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "export/frmExportPBASIC.h"
#include "platform/FileDialogService.h"
#include "platform/Services.h"
#include "platform/ondProgressBar.h"
#include "program/ProgramListing.h"
#include "support/TestSupport.h"

#include <QRadioButton>

// The save dialog answers m_chosen, "" as a cancel.
class TestFrmExportPBASIC : public TestBase, public IFileDialogService
{
    Q_OBJECT
    QString m_chosen;
    QString choose(const FileDialogRequest &) override { return m_chosen; }
    ProgramPropertyStore m_properties;
    ServoModel m_servos;
    ExportSettingsStore m_settings;
    ProgramListing m_listing{DataPaths::UserDataFolder() + QStringLiteral("/temp.tqp")};
    std::unique_ptr<frmExportPBASIC> open()
    {
        return std::make_unique<frmExportPBASIC>(m_listing, m_properties, m_servos, m_settings);
    }

private Q_SLOTS:
    void choicesKeptBetweenOpenings()
    {
        auto dialog = open();
        dialog->optExpVer(4)->click();
        dialog->Combo1()->setCurrentIndex(10);
        dialog->Combo2()->setCurrentIndex(1);
        dialog->optSerMethod(1)->click();
        dialog->Check1()->setChecked(true);
        dialog = open();
        QVERIFY(dialog->optExpVer(4)->isChecked() && dialog->optSerMethod(1)->isChecked());
        QCOMPARE(dialog->Combo1()->currentText() + dialog->Combo2()->currentText(), QStringLiteral("PORTA.2N9600"));
        QVERIFY(!dialog->Check1()->isChecked());
    }

    void refusedThenCancelledThenSaved()
    {
        QVERIFY(QDir().mkpath(DataPaths::UserDataFolder()));
        QVERIFY(WriteWholeFile(m_listing.TempFilePath(), QStringLiteral("mov 0,127\npause 500\nmov 1,200\n")));
        Services::setFileDialogs(this);
        m_settings.SetSettings({0, 0, 1, 0}); // BS1 has no N9600
        auto dialog = open();
        dialog->show();
        dialog->Command1()->click();
        ExpectMessage(QStringLiteral("Basic Stamp I has no N9600 baud mode. Choose N2400."), MsgIcon::Critical);
        QCOMPARE(dialog->Label1()->text(), QStringLiteral("File not saved..."));
        dialog->optExpVer(1)->click();
        dialog->Command1()->click();
        // The bar follows the lines: 10 + 90 x (i + 1) / (n - 1) for the last of three is past the end.
        QCOMPARE(dialog->Label1()->text() + u' ' + QString::number(dialog->ProgressBar()->Position()),
                 QStringLiteral("File not saved... 145"));
        m_chosen = DataPaths::UserDataFolder() + QStringLiteral("/out.bs2");
        dialog->Command1()->click();
        QCOMPARE(dialog->Label1()->text() + u' ' + QString::number(dialog->isVisible()),
                 QStringLiteral("File Saved... 0"));
        // The bar, across the dialog, is drawn full.
        const QImage bar = dialog->ProgressBar()->grab().toImage();
        QVERIFY(bar.width() > dialog->width() * 3 / 4);
        QCOMPARE(bar.pixelColor(bar.width() / 2, bar.height() / 2), ondProgressBar::DefaultBarColor());
        // The export reads the positions; the servos did not move, so their record stays.
        QCOMPARE(m_servos.Position(0) + m_servos.Position(1), 0);
        const QByteArray file = ReadWholeFileBytes(m_chosen); // compared after its two header lines
        QCOMPARE(file.mid(file.indexOf("\r\n\r\n") + 2), ReadWholeFileBytes(TestDataPath("export/worked-serout.bas")));
    }
};

TQ_TEST_GUI_MAIN(TestFrmExportPBASIC)
#include "tst_frmExportPBASIC.moc"
