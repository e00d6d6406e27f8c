#include "execution/smart/frmSmart.h"

#include "app/ProgramPropertyStore.h"
#include "execution/smart/SmartRatingCalculator.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox *degreesList(const QString &initial, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    // Typed values are allowed: a servo may be rated for another angle.
    box->setEditable(true);
    box->addItems({QStringLiteral("30"), QStringLiteral("60"), QStringLiteral("90"), QStringLiteral("180"),
                   QStringLiteral("360")});
    box->setCurrentText(initial);
    return box;
}

} // namespace

frmSmart::frmSmart(ProgramPropertyStore &properties, const QString &valueBefore, QWidget *owner)
    : QDialog(owner)
    , m_properties(properties)
    , m_valueBefore(valueBefore)
    , m_seconds(new QLineEdit(QStringLiteral("0.0"), this))
    , m_per(degreesList(QStringLiteral("60"), this))
    , m_range(degreesList(QStringLiteral("90"), this))
    , m_calculate(new QPushButton(QStringLiteral("Ca&lculate"), this))
    , m_cancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setWindowTitle(QStringLiteral("Smart Rating Calculator"));
    m_seconds->setObjectName(QStringLiteral("Text1"));
    m_per->setObjectName(QStringLiteral("Combo1"));
    m_range->setObjectName(QStringLiteral("Combo2"));
    m_calculate->setObjectName(QStringLiteral("Command2"));
    m_cancel->setObjectName(QStringLiteral("Command1"));
    m_calculate->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    auto *speed = new QGroupBox(QStringLiteral("Speed Rating"), this);
    auto *speedRow = new QHBoxLayout(speed);
    speedRow->addWidget(m_seconds);
    speedRow->addWidget(new QLabel(QStringLiteral("Seconds per"), speed));
    speedRow->addWidget(m_per);
    speedRow->addWidget(new QLabel(QStringLiteral("Degrees"), speed));

    auto *rotation = new QGroupBox(QStringLiteral("Rotation Range"), this);
    auto *rotationRow = new QHBoxLayout(rotation);
    rotationRow->addWidget(m_range);
    rotationRow->addWidget(new QLabel(QStringLiteral("Degrees"), rotation));
    rotationRow->addStretch();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_calculate);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Please enter your servos rating below."), this));
    layout->addWidget(speed);
    layout->addWidget(rotation);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_calculate, &QPushButton::clicked, this, &frmSmart::Command2_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmSmart::Command1_Click);
    connect(m_seconds, &QLineEdit::returnPressed, this, &frmSmart::Command2_Click);
}

void frmSmart::Command2_Click()
{
    if (m_finished)
        return;
    Reported(QStringLiteral("0067"), [&] {
        const ProgramProperties p = m_properties.Properties();
        const double rating = SmartRatingCalculator::Calculate(m_seconds->text(), m_per->currentText(),
                                                               m_range->currentText(), p.ServoMax, p.ServoMin);
        const QString text = SmartRatingCalculator::FormatRating(rating);
        const MsgAnswer answer =
            ShowUserMessage(SmartRatingCalculator::QuestionText(text), MsgButtons::YesNoCancel, MsgIcon::None);
        SmartRatingCalculator::FinishEdit(m_properties, m_valueBefore, answer == MsgAnswer::Yes ? &text : nullptr);
        m_finished = true;
        accept();
    });
}

void frmSmart::Command1_Click()
{
    if (m_finished)
        return;
    m_finished = true;
    Reported(QStringLiteral("0066"), [&] { SmartRatingCalculator::FinishEdit(m_properties, m_valueBefore, nullptr); });
    QDialog::reject();
}

void frmSmart::reject()
{
    if (m_finished)
        QDialog::reject();
    else
        Command1_Click();
}
