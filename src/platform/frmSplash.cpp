#include "platform/frmSplash.h"

#include <QLabel>
#include <QVBoxLayout>

frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Taveloq"), this);
    QFont font = title->font();
    font.setPointSize(font.pointSize() * 2);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    layout->addWidget(m_status);
    SetStatus(QStringLiteral("Initializing application. Please wait..."));
    resize(360, 160);
}

void frmSplash::SetStatus(const QString &text)
{
    m_status->setText(text);
    m_status->repaint();
}

QString frmSplash::Status() const
{
    return m_status->text();
}
