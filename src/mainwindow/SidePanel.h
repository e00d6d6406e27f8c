#pragma once

#include <QWidget>

class LogoStrip;
class PropertyGridModel;
class PropertyGridPanel;
class QPushButton;

/// The main window's side panel: the logo strip with its button that hides
/// and shows the rest, the property grid and the three all-servo buttons.
class SidePanel final : public QWidget
{
    Q_OBJECT
public:
    SidePanel(PropertyGridModel &cells, const QString &caption, QWidget *parent = nullptr);

    static constexpr int kDesignedWidthTwips = 3375;

    /// The grid's load step, and the panel's width to go with it.
    void Load();
    /// The expanded width: 3375 twips on this screen, more when the property
    /// grid needs it for its font.
    int ExpandedWidth() const;
    /// How much wider than designed the expanded panel is.
    int ExtraWidth() const;
    /// Hides the panel's content down to the strip, or shows it again.
    void cmdLogo_Click();

    LogoStrip *picLogo() const { return m_logo; }
    QPushButton *cmdLogo() const { return m_cmdLogo; }
    PropertyGridPanel *Grid() const { return m_grid; }
    QPushButton *cmdCenterAll() const { return m_centerAll; }
    QPushButton *cmdMinAll() const { return m_minAll; }
    QPushButton *cmdMaxAll() const { return m_maxAll; }

    /// Where the keyboard enters the panel's buttons: the first all-servo
    /// button, or the collapse button while the rest is hidden.
    QWidget *ButtonsFocus() const;
    /// Whether the grid and the buttons are on show.
    bool Expanded() const;

    /// A run locks the grid and the all-servo buttons.
    void SetLocked(bool locked);

Q_SIGNALS:
    void expandedChanged(bool expanded);
    void centerAllClicked();
    void minAllClicked();
    void maxAllClicked();

private:
    int twips(int twips) const;

    LogoStrip *m_logo;
    QPushButton *m_cmdLogo;
    QWidget *m_content;
    PropertyGridPanel *m_grid;
    QPushButton *m_centerAll;
    QPushButton *m_minAll;
    QPushButton *m_maxAll;
};
