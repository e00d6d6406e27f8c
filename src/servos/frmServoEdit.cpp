#include "servos/frmServoEdit.h"

#include "app/ServoModel.h"
#include "platform/WindowFrame.h"
#include "servos/ServoLabelBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStyleOptionButton>
#include <QVBoxLayout>

namespace {

// A check box picture for the legend; nothing to click.
class LegendBox final : public QWidget
{
public:
    LegendBox(bool ticked, QWidget *parent)
        : QWidget(parent)
        , m_ticked(ticked)
    {
        const int side = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
        setFixedSize(side, side);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = rect();
        option.state |= m_ticked ? QStyle::State_On : QStyle::State_Off;
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
    }

private:
    bool m_ticked;
};

QWidget *legendLine(bool ticked, const QString &text, QWidget *parent)
{
    auto *line = new QWidget(parent);
    auto *row = new QHBoxLayout(line);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(new LegendBox(ticked, line));
    row->addWidget(new QLabel(text, line));
    row->addStretch(1);
    return line;
}

} // namespace

frmServoEdit::frmServoEdit(ServoModel &servos, QWidget *parent)
    : QDialog(parent)
    , m_servos(servos)
    , m_ok(new QPushButton(QStringLiteral("&OK"), this))
    , m_cancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmServoEdit"));
    setWindowTitle(QStringLiteral("Edit Servo Labels"));
    setModal(true);

    // The servos scroll on a screen too low for all of them; the legend and the buttons stay in view.
    auto *servoArea = new QWidget(this);
    auto *grid = new QGridLayout(servoArea);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    QFont bold = font();
    bold.setBold(true);
    for (int servo = 0; servo < kServoCount; ++servo) {
        auto *frame = new QGroupBox(QStringLiteral("Servo #") + QString::number(servo), servoArea);
        frame->setObjectName(QStringLiteral("Frame1_") + QString::number(servo));
        frame->setFont(bold);
        auto *box = new ServoLabelBox(servo, frame);
        QFont normal = font();
        normal.setBold(false);
        box->setFont(normal);
        auto *inner = new QVBoxLayout(frame);
        inner->setContentsMargins(4, 2, 4, 4);
        inner->addWidget(box);
        m_boxes[servo] = box;
        grid->addWidget(frame, servo % 8, servo < 8 ? 0 : 1);
        frame->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 14);
    }

    auto *legend = new QGroupBox(QStringLiteral("Legend"), this);
    legend->setObjectName(QStringLiteral("fraLegend"));
    auto *legendRows = new QVBoxLayout(legend);
    legendRows->addWidget(legendLine(true, QStringLiteral(" = Servo Enabled"), legend));
    legendRows->addWidget(legendLine(false, QStringLiteral(" = Servo Disabled"), legend));

    m_ok->setObjectName(QStringLiteral("Command1"));
    m_cancel->setObjectName(QStringLiteral("Command2"));
    m_ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(legend);
    buttons->addStretch(1);
    auto *okCancel = new QVBoxLayout;
    okCancel->addStretch(1);
    okCancel->addWidget(m_ok);
    okCancel->addWidget(m_cancel);
    buttons->addLayout(okCancel);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(ScrollingBody(servoArea, this), 1);
    outer->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &frmServoEdit::Command1_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmServoEdit::Command2_Click);
    Form_Load();
}

QLineEdit *frmServoEdit::Text1(int servo) const
{
    return m_boxes.at(servo)->text();
}

QCheckBox *frmServoEdit::Check1(int servo) const
{
    return m_boxes.at(servo)->check();
}

void frmServoEdit::Form_Load()
{
    for (int servo = 0; servo < kServoCount; ++servo) {
        Text1(servo)->setText(m_servos.Label(servo));
        Check1(servo)->setChecked(m_servos.Enabled(servo));
        m_boxes[servo]->ApplyCheck();
    }
    // Label boxes 0 to 15, then OK and Cancel; the check boxes follow.
    QWidget *previous = Text1(0);
    for (int servo = 1; servo < kServoCount; ++servo) {
        setTabOrder(previous, Text1(servo));
        previous = Text1(servo);
    }
    setTabOrder(previous, m_ok);
    setTabOrder(m_ok, m_cancel);
    previous = m_cancel;
    for (int servo = 0; servo < kServoCount; ++servo) {
        setTabOrder(previous, Check1(servo));
        previous = Check1(servo);
    }
}

void frmServoEdit::Command1_Click()
{
    for (int servo = 0; servo < kServoCount; ++servo) {
        m_servos.SetLabel(servo, Text1(servo)->text());
        m_servos.SetEnabled(servo, Text1(servo)->isEnabledTo(this));
    }
    accept();
}

void frmServoEdit::Command2_Click()
{
    reject();
    if (QWidget *owner = parentWidget())
        owner->update();
}
