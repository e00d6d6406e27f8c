#include "platform/frmSplash.h"

#include "platform/Version.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSvgWidget>

// Outside any namespace, as the resource's initialiser is.
static void initPictureResources()
{
    Q_INIT_RESOURCE(pictures);
}

namespace {

constexpr int kAboveCentreTwips = 500;
constexpr int kPictureSize = 160;

QLabel *label(const char *name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_label1(label("Label1", QString(), this))
    , m_label2(label("Label2", QStringLiteral("Copyright (C) 2026 The Taveloq Team. All rights reserved."), this))
    , m_label3(label("Label3", QString(), this))
    , m_label4(label("Label4", QString(), this))
    , m_label6(label("Label6", QStringLiteral("The Taveloq Team Presents"), this))
    , m_command1(new QPushButton(QStringLiteral("Command1"), this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Taveloq"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    initPictureResources();

    auto *picture = new QSvgWidget(QStringLiteral(":/platform/pictures/splash.svg"), this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setFixedSize(kPictureSize, kPictureSize);

    QFont title = m_label1->font();
    title.setPointSizeF(title.pointSizeF() * 2.5);
    title.setBold(true);
    m_label1->setFont(title);
    QFont version = m_label4->font();
    version.setBold(true);
    m_label4->setFont(version);
    m_command1->setObjectName(QStringLiteral("Command1"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 16, 12);
    grid->setHorizontalSpacing(20);
    grid->addWidget(picture, 0, 0, 4, 1);
    grid->addWidget(m_label6, 0, 1);
    grid->addWidget(m_label1, 1, 1);
    grid->addWidget(m_label4, 2, 1);
    grid->setRowStretch(3, 1);
    grid->addWidget(m_label2, 4, 0, 1, 2);
    grid->addWidget(m_label3, 5, 0, 1, 2);
    grid->addWidget(m_command1, 6, 1, Qt::AlignRight);

    m_label1->setText(QStringLiteral("Taveloq"));
    m_label4->setText(QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
    m_label3->setText(QStringLiteral("Initializing application. Please wait..."));
    SetShowAsSplash(false);
    connect(m_command1, &QPushButton::clicked, this, &QWidget::close);

    // The status texts differ in length: the window keeps the size of the longest.
    setMinimumWidth(480);
    adjustSize();
    setFixedSize(size());
    place();
}

void frmSplash::SetShowAsSplash(bool splash)
{
    m_showAsSplash = splash;
    m_command1->setVisible(!splash);
    m_label3->setVisible(splash);
}

void frmSplash::SetStatus(const QString &text)
{
    m_label3->setText(text);
    m_label3->repaint();
}

QString frmSplash::Status() const
{
    return m_label3->text();
}

QLabel *frmSplash::Label(int index) const
{
    switch (index) {
    case 1:
        return m_label1;
    case 2:
        return m_label2;
    case 3:
        return m_label3;
    case 4:
        return m_label4;
    case 6:
        return m_label6;
    default:
        return nullptr;
    }
}

QPoint frmSplash::Placement(const QRect &screen, const QSize &size, qreal dpiY)
{
    return {screen.x() + (screen.width() - size.width()) / 2,
            screen.y() + (screen.height() - size.height()) / 2 - qRound(kAboveCentreTwips * dpiY / 1440.0)};
}

void frmSplash::place()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(Placement(screen->geometry(), size(), screen->logicalDotsPerInchY()));
}
