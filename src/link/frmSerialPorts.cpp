#include "link/frmSerialPorts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

frmSerialPorts::frmSerialPorts(const QList<SerialPortMap::DetectedPort> &detected, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSerialPorts"));
    setWindowTitle(QStringLiteral("Serial Ports"));

    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Choose the device each Comm Port number uses. "
                                            "Programs keep the number; the device is kept on this computer."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *form = new QFormLayout;
    for (int port = SerialPortMap::kFirstPort; port <= SerialPortMap::kLastPort; ++port) {
        auto *box = new QComboBox(this);
        box->setObjectName(QStringLiteral("cboPort%1").arg(port));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumContentsLength(36);
        for (const SerialPortMap::DetectedPort &d : detected) {
            QString label = d.path;
            if (d.path != d.systemPath)
                label += QStringLiteral("  (") + d.systemPath + QLatin1Char(')');
            if (!d.description.isEmpty())
                label += QStringLiteral("  ") + d.description;
            box->addItem(label, d.path);
        }
        m_boxes[port - 1] = box;
        form->addRow(QStringLiteral("Comm Port %1:").arg(port), box);
    }
    layout->addLayout(form);

    auto *note = new QLabel(
        detected.isEmpty() ? QStringLiteral("No serial devices were found. Plug in the board, or type a device path.")
                           : QStringLiteral("A change takes effect the next time the port is opened."),
        this);
    note->setObjectName(QStringLiteral("lblNote"));
    note->setWordWrap(true);
    layout->addWidget(note);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void frmSerialPorts::SetMapping(const QStringList &paths)
{
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        const QString path = i < paths.size() ? paths[i] : QString();
        const int index = m_boxes[i]->findData(path);
        if (index >= 0)
            m_boxes[i]->setCurrentIndex(index);
        else
            m_boxes[i]->setEditText(path);
    }
}

QStringList frmSerialPorts::Mapping() const
{
    QStringList paths;
    for (QComboBox *box : m_boxes) {
        // A chosen entry carries its path; its text also shows the description.
        const int index = box->findText(box->currentText());
        const QString path = index >= 0 ? box->itemData(index).toString() : box->currentText();
        paths << path.trimmed();
    }
    return paths;
}
