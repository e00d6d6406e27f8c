#pragma once

#include "export/ExportCommand.h"

#include <QDialog>

#include <array>

class ExportSettingsStore;
class ProgramListing;
class ProgramPropertyStore;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class ServoModel;
class ondProgressBar;

/// The Export As Basic dialog: collects the target, pin, baud rate, code shape
/// and loop choice, and runs the export command on the listed program with its
/// status and progress in view. The four choices live in the shared
/// ExportSettingsStore, so they outlast the dialog; the servo record is only read.
class frmExportPBASIC : public QDialog
{
    Q_OBJECT
public:
    frmExportPBASIC(const ProgramListing &listing, const ProgramPropertyStore &properties, const ServoModel &servos,
                    ExportSettingsStore &settings, QWidget *parent = nullptr);

    QRadioButton *optExpVer(int index) const { return m_optExpVer.at(index); }
    QRadioButton *optSerMethod(int index) const { return m_optSerMethod.at(index); }
    QComboBox *Combo1() const { return m_combo1; }
    QComboBox *Combo2() const { return m_combo2; }
    QCheckBox *Check1() const { return m_check1; }
    QLabel *Label1() const { return m_label1; }
    QPushButton *Command1() const { return m_command1; }
    QPushButton *Command2() const { return m_command2; }
    ondProgressBar *ProgressBar() const { return m_progress; }
    /// What the user chose.
    ExportChoice Choice() const;

private:
    void Form_Load();
    void optExpVer_Click(int index);
    void Command1_Click();
    void setStatus(const QString &text);
    void showStep(const QString &status, int position);

    const ProgramListing &m_listing;
    const ProgramPropertyStore &m_properties;
    const ServoModel &m_servos;
    ExportSettingsStore &m_settings;
    std::array<QRadioButton *, 5> m_optExpVer{};
    std::array<QRadioButton *, 2> m_optSerMethod{};
    QComboBox *m_combo1;
    QComboBox *m_combo2;
    QCheckBox *m_check1;
    ondProgressBar *m_progress;
    QLabel *m_label1;
    QPushButton *m_command1;
    QPushButton *m_command2;
};
