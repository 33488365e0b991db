#include "setvalue.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

SetValue::SetValue(QWidget* parent)
    : QDialog(parent), m_parameter(new QComboBox), m_value(new QComboBox),
      m_ok(new QPushButton(tr("OK"))), m_cancel(new QPushButton(tr("Cancel"))) {
    setObjectName(QStringLiteral("SetValue"));
    setWindowTitle(tr("Set value"));
    m_parameter->setObjectName(QStringLiteral("cbParameter"));
    m_value->setObjectName(QStringLiteral("cbValue"));
    m_ok->setObjectName(QStringLiteral("pbOk"));
    m_cancel->setObjectName(QStringLiteral("pbCancel"));
    m_parameter->setEditable(true);
    m_parameter->setInsertPolicy(QComboBox::NoInsert);
    m_value->setEditable(true);
    m_value->setInsertPolicy(QComboBox::NoInsert);
    m_value->setMinimumContentsLength(40);
    m_ok->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(tr("Parameter:"), m_parameter);
    form->addRow(tr("Value:"), m_value);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    // accept() first: the main window's slot on "OK" runs after the dialog is closed
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_parameter, &QComboBox::currentTextChanged, this, &SetValue::parameterChanged);
    connect(m_value, &QComboBox::currentTextChanged, this, &SetValue::valueChanged);

    m_parameter->addItems(parameterItems()); // the first item becomes current
}

QStringList SetValue::parameterItems() {
    return {tr("13Y: Status of co-ordination"), tr("2Z: Final date of achieving co-ordination")};
}

QStringList SetValue::statusItems() {
    return {
        tr("A: For information..."),
        tr("B: Request for agreement"),
        tr("C: Agreed without reservation"),
        tr("D: Agreed subject to operational tests..."),
        tr("E: Agreement on a non-interference basis (NIB)..."),
        tr("F: Agreed, subject to a requirement identical or analogous to the requirement of RR "
           "4.4"),
        tr("G: Agreed, without any reservation as to interference which may be caused by the "
           "assignment described..."),
        tr("H: E+G"),
        tr("M: Request for agreement following a modified co-ordination after an answer coded E, "
           "G, H, Y or Z"),
        tr("P: Assignment according to preferential frequency agreements..."),
        tr("R: Deletion of co-ordination"),
        tr("W: Withdrawal of the co-ordination request"),
        tr("Y: Request for agreement refused, but an alternative suggestion is formulated in "
           "column 13Z"),
        tr("Z: Request for agreement refused"),
    };
}

QString SetValue::parameter() const {
    return m_parameter->currentText();
}

QString SetValue::value() const {
    return m_value->currentText();
}

void SetValue::parameterChanged(const QString& text) {
    {
        const QSignalBlocker block(m_value);
        m_value->lineEdit()->setInputMask(QString());
        m_value->clear();
        m_value->setToolTip(QString());
        m_statusList = false;
        if (text.contains(QLatin1String("13Y:"))) {
            m_value->addItems(statusItems());
            m_value->setToolTip(tr("Input one letter"));
            m_statusList = true;
        } else if (text.contains(QLatin1String("2Z:"))) {
            m_value->lineEdit()->setInputMask(QStringLiteral("99999999;_"));
            m_value->setToolTip(tr("Input format: DDMMYYYY"));
        }
        // nothing is chosen until the user chooses; typing starts at the first digit
        m_value->setCurrentIndex(-1);
        m_value->setEditText(QString());
        m_value->lineEdit()->setCursorPosition(0);
    }
    m_value->setFocus();
}

void SetValue::valueChanged(const QString& text) {
    if (!m_statusList)
        return;
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return;
    const QSignalBlocker block(m_value);
    m_value->setEditText(text.left(colon));
}
