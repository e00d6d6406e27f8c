#pragma once

#include "library/ConfigurationFile.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QPushButton;
class QRadioButton;

/// "Save Configuration - Options": which sections to save and whether to load
/// the file at start-up. "&Save As..." hands the choice to the writer and
/// closes, unless the write failed; "Restore Start-Up Defaults" leaves the
/// dialog open.
class frmSaveConfiguration : public QDialog
{
    Q_OBJECT
public:
    /// False when the write failed (and was reported): the dialog stays with the user's choices.
    using SaveFunction = std::function<bool(const ConfigurationChoice &choice)>;
    using RestoreFunction = std::function<void()>;

    /// `programOpen` false disables "Current Program".
    frmSaveConfiguration(bool programOpen, SaveFunction save, RestoreFunction restore, QWidget *parent = nullptr);

    ConfigurationChoice Choice() const;
    QCheckBox *Check(ConfigSection section) const { return m_checks.at(int(section)); }
    QCheckBox *chkStartUp() const { return m_startUp; }
    QRadioButton *optStartUp(int index) const { return m_options.at(index); }
    QPushButton *cmdSaveAs() const { return m_save; }
    QPushButton *cmdCancel() const { return m_cancel; }
    QPushButton *cmdCheckAll() const { return m_checkAll; }
    QPushButton *cmdRestore() const { return m_restore; }

private:
    void chkStartUp_Click();
    void cmdCheckAll_Click();

    SaveFunction m_saveFunction;
    RestoreFunction m_restoreFunction;
    std::array<QCheckBox *, kConfigSectionCount> m_checks{};
    QCheckBox *m_startUp;
    std::array<QRadioButton *, 2> m_options{};
    QPushButton *m_save;
    QPushButton *m_cancel;
    QPushButton *m_checkAll;
    QPushButton *m_restore;
};
