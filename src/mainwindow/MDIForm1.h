#pragma once

#include <QMainWindow>

/// The main window. Closing it removes the temporary file and closes the port;
/// nothing is saved and nothing is asked.
class MDIForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit MDIForm1(QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;
};
