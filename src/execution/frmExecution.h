#pragma once

#include <QPoint>
#include <QWidget>

#include <array>

class ExecutionController;
class ondProgressBar;
class QLabel;
class QListView;
class QPushButton;
class QRadioButton;

/// The Execution Controller window: shows an ExecutionController (the listing,
/// its summary, the run's selection and progress) and hands the clicks to it.
/// The main window places it in its child area.
class frmExecution final : public QWidget
{
    Q_OBJECT
public:
    explicit frmExecution(ExecutionController &controller, QWidget *parent = nullptr);

    /// A view over the listing, sharing its selection.
    QListView *List1() const { return m_list; }
    ondProgressBar *ProgressBar() const { return m_progress; }

Q_SIGNALS:
    /// The right button went down over line `line` (which holds text); the
    /// main window shows its popup menu `miExecEdit` for it at `globalPos`.
    /// The list's selection is left as it was.
    void listRightClicked(int line, const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refreshSummary();
    void refreshControls();

    ExecutionController &m_controller;
    std::array<QRadioButton *, 4> m_opt{};
    QListView *m_list = nullptr;
    QPushButton *m_execute = nullptr;
    QPushButton *m_pause = nullptr;
    QPushButton *m_stop = nullptr;
    ondProgressBar *m_progress = nullptr;
    std::array<QLabel *, 5> m_summary{};
};
