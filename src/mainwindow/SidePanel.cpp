#include "mainwindow/SidePanel.h"

#include "mainwindow/LogoStrip.h"
#include "mainwindow/grid/PropertyGridPanel.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SidePanel::SidePanel(PropertyGridModel &cells, const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_logo(new LogoStrip(this))
    , m_cmdLogo(new QPushButton(QStringLiteral(">"), m_logo))
    , m_content(new QWidget(this))
    , m_grid(new PropertyGridPanel(cells, m_content))
    , m_centerAll(new QPushButton(QStringLiteral("&Center All Servos"), m_content))
    , m_minAll(new QPushButton(QStringLiteral("&Min All Servos"), m_content))
    , m_maxAll(new QPushButton(QStringLiteral("Ma&x All Servos"), m_content))
{
    setObjectName(QStringLiteral("Picture1"));
    setFixedWidth(twips(kDesignedWidthTwips));

    m_logo->SetCaption(caption);
    m_logo->setFixedWidth(twips(255));
    m_cmdLogo->setObjectName(QStringLiteral("cmdLogo"));
    m_cmdLogo->setToolTip(QStringLiteral("Hide/Show Properties Grid."));
    m_cmdLogo->setGeometry(0, 0, twips(255), twips(255));
    m_cmdLogo->setAccessibleName(QStringLiteral("Hide properties grid"));
    connect(m_cmdLogo, &QPushButton::clicked, this, &SidePanel::cmdLogo_Click);

    auto *gridLabel = new QLabel(QStringLiteral("Properties Grid:"), m_content);
    gridLabel->setObjectName(QStringLiteral("Label1"));
    m_grid->setObjectName(QStringLiteral("sGrid"));

    m_centerAll->setObjectName(QStringLiteral("cmdCenterAll"));
    m_centerAll->setToolTip(QStringLiteral("Center All Servos"));
    m_minAll->setObjectName(QStringLiteral("cmdMinAll"));
    m_minAll->setToolTip(QStringLiteral("Min All Servos."));
    m_maxAll->setObjectName(QStringLiteral("cmdMaxAll"));
    m_maxAll->setToolTip(QStringLiteral("Max All Servos"));
    connect(m_centerAll, &QPushButton::clicked, this, &SidePanel::centerAllClicked);
    connect(m_minAll, &QPushButton::clicked, this, &SidePanel::minAllClicked);
    connect(m_maxAll, &QPushButton::clicked, this, &SidePanel::maxAllClicked);

    auto *content = new QVBoxLayout(m_content);
    content->setContentsMargins(twips(480 - 255), twips(120), twips(240), twips(120));
    content->setSpacing(twips(60));
    content->addWidget(gridLabel);
    content->addWidget(m_grid, 1, Qt::AlignLeft | Qt::AlignTop);
    content->addSpacing(twips(120));
    for (QPushButton *b : {m_centerAll, m_minAll, m_maxAll}) {
        b->setAutoDefault(false);
        content->addWidget(b);
    }
    content->addStretch(0);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_logo);
    row->addWidget(m_content, 1);

    setTabOrder(m_cmdLogo, m_grid);
    setTabOrder(m_grid, m_centerAll);
    setTabOrder(m_centerAll, m_minAll);
    setTabOrder(m_minAll, m_maxAll);
}

QWidget *SidePanel::ButtonsFocus() const
{
    // Collapsed, the strip's button is all there is.
    return m_content->isVisible() && m_centerAll->isEnabled() ? static_cast<QWidget *>(m_centerAll) : m_cmdLogo;
}

int SidePanel::twips(int twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

int SidePanel::ExpandedWidth() const
{
    // As designed, or wider by what the grid needs beyond its designed width for its font.
    const int designed = twips(kDesignedWidthTwips);
    return qMax(designed, designed - twips(PropertyGridPanel::kGridWidthTwips) + m_grid->width());
}

int SidePanel::ExtraWidth() const
{
    return ExpandedWidth() - twips(kDesignedWidthTwips);
}

void SidePanel::Load()
{
    m_grid->Load();
    if (maximumWidth() != m_logo->width())
        setFixedWidth(ExpandedWidth());
}

bool SidePanel::Expanded() const
{
    return maximumWidth() != m_logo->width();
}

void SidePanel::cmdLogo_Click()
{
    Reported(QStringLiteral("0003"), [&] {
        const bool collapse = Expanded();
        // The keyboard stays in the panel: on the strip's button once the rest is hidden.
        const bool focusInside = isAncestorOf(QApplication::focusWidget());
        // Before hiding, or the focus would leave the panel with the control that had it.
        if (focusInside && collapse)
            m_cmdLogo->setFocus(Qt::OtherFocusReason);
        if (collapse) {
            m_content->hide();
            setFixedWidth(m_logo->width());
            m_cmdLogo->setText(QStringLiteral("<"));
            m_cmdLogo->setAccessibleName(QStringLiteral("Show properties grid"));
        } else {
            setFixedWidth(ExpandedWidth());
            m_content->show();
            m_cmdLogo->setText(QStringLiteral(">"));
            m_cmdLogo->setAccessibleName(QStringLiteral("Hide properties grid"));
        }
        update();
        Q_EMIT expandedChanged(!collapse);
    });
}

void SidePanel::SetLocked(bool locked)
{
    m_grid->setEnabled(!locked);
    for (QPushButton *b : {m_centerAll, m_minAll, m_maxAll})
        b->setEnabled(!locked);
}
