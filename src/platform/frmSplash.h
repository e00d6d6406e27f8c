#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

/// The window shown while the program starts: picture, title, version, legal
/// notice and a status line. As a splash it stays above the other windows;
/// otherwise it offers a button that closes it.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);

    bool ShowAsSplash() const { return m_showAsSplash; }
    /// A splash shows the status line; a plain window its close button instead.
    void SetShowAsSplash(bool splash);

    void SetStatus(const QString &text);
    QString Status() const;

    QLabel *Label(int index) const;

    /// Where the window of `size` stands on a screen of `dpiY` dots per inch: centred
    /// across, 500 twips above the middle.
    static QPoint Placement(const QRect &screen, const QSize &size, qreal dpiY);
    QPushButton *Command1() const { return m_command1; }

private:
    void place();

    bool m_showAsSplash = false;
    QLabel *m_label1;
    QLabel *m_label2;
    QLabel *m_label3;
    QLabel *m_label4;
    QLabel *m_label6;
    QPushButton *m_command1;
};
