#include "mainwindow/frmJawMoves.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

namespace {

QSpinBox *spin(int low, int high, int value, const QString &suffix = QString())
{
    auto *box = new QSpinBox;
    box->setRange(low, high);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

} // namespace

frmJawMoves::frmJawMoves(const JawSettings &start, const QStringList &labels, int low, int high, QWidget *owner)
    : QDialog(owner)
    , m_servo(new QComboBox)
    , m_closed(spin(low, high, std::clamp(start.closed, low, high)))
    , m_open(spin(low, high, std::clamp(start.open, low, high)))
    , m_threshold(spin(0, 100, int(std::lround(start.threshold * 100)), QStringLiteral(" %")))
    , m_gain(new QDoubleSpinBox)
    , m_attack(spin(0, 2000, start.attackMs, QStringLiteral(" ms")))
    , m_release(spin(0, 5000, start.releaseMs, QStringLiteral(" ms")))
    , m_rate(spin(1, JawMoves::kMaxLinesPerSecond, start.linesPerSecond))
    , m_note(new QLabel)
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel))
{
    setObjectName(QStringLiteral("frmJawMoves"));
    setWindowTitle(QStringLiteral("Generate Moves From Sound"));
    for (int servo = 0; servo < labels.size(); ++servo)
        m_servo->addItem(QStringLiteral("%1: %2").arg(servo).arg(labels.at(servo)));
    m_servo->setCurrentIndex(start.servo);
    m_gain->setRange(0.1, 50);
    m_gain->setSingleStep(0.1);
    m_gain->setValue(start.gain);
    m_gain->setPrefix(QStringLiteral("x "));
    m_threshold->setToolTip(QStringLiteral("Quieter sound keeps the jaw closed."));
    m_rate->setToolTip(QStringLiteral("How many moves a second at most: each is one line of the program."));
    m_note->setWordWrap(true);
    m_note->hide();

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Servo:"), m_servo);
    form->addRow(QStringLiteral("&Closed position:"), m_closed);
    form->addRow(QStringLiteral("&Open position:"), m_open);
    form->addRow(QStringLiteral("&Threshold:"), m_threshold);
    form->addRow(QStringLiteral("&Gain:"), m_gain);
    form->addRow(QStringLiteral("&Attack:"), m_attack);
    form->addRow(QStringLiteral("&Release:"), m_release);
    form->addRow(QStringLiteral("&Lines per second:"), m_rate);
    form->addRow(m_note);
    form->addRow(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const auto changed = [this] { emit settingsChanged(Settings()); };
    connect(m_servo, &QComboBox::currentIndexChanged, this, changed);
    for (QSpinBox *box : {m_closed, m_open, m_threshold, m_attack, m_release, m_rate})
        connect(box, &QSpinBox::valueChanged, this, changed);
    connect(m_gain, &QDoubleSpinBox::valueChanged, this, changed);
}

JawSettings frmJawMoves::Settings() const
{
    return {m_servo->currentIndex(), m_closed->value(), m_open->value(),    m_threshold->value() / 100.0,
            m_gain->value(),         m_attack->value(), m_release->value(), m_rate->value()};
}

void frmJawMoves::SetNote(const QString &note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}
