#pragma once

#include <QWidget>

class QLabel;

/// The window shown while the program starts, with a status line.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);
    void SetStatus(const QString &text);
    QString Status() const;

private:
    QLabel *m_status;
};
