#include "ccomparatoroptions.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// the list items in list order (the spelling "selectovity" is kept as users know it)
const char* const kItems[cComparatorOptions::ItemCount] = {
    QT_TRANSLATE_NOOP("cComparatorOptions", "Type of entry"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Frequency"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Frequency unit"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Frequency category"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Class of station"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Nature of service"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Category of use"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Date of bringing into use"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Name of station"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Country"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Geographical co-ordinates"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Height of the station site above sea level"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Designation of emission"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Equipment manufacturer name"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Equipment type"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Max. capacity of the link"),
    QT_TRANSLATE_NOOP("cComparatorOptions",
                      "Transmitter spectrum mask or receiver selectovity mask"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Equipment class (NFD1)"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Not used (NFD2)"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Channel spacing"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Maximum permitted transmitter power"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "ATPC"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Azimuth"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Elevation"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Polarization"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Receiver noise power level (FkTB)"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Branches and line losses"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Height of antenna above ground"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Remarks"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Status of co-ordination"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Date of co-ordination request"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Final date of achieving co-ordination"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Co-ordination reference"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Antenna manufacturer name"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Antenna type"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Lower antenna frequency"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Upper antenna frequency"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Antenna gain"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Co-polar antenna radiation pattern"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Co-polar antenna data"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Cross-polar antenna radiation pattern"),
    QT_TRANSLATE_NOOP("cComparatorOptions", "Cross-polar antenna data"),
};

} // namespace

cComparatorOptions::cComparatorOptions(QWidget* parent)
    : QDialog(parent), m_list(new QListWidget), m_ok(nullptr), m_cancel(nullptr) {
    setObjectName(QStringLiteral("cComparatorOptions"));
    setWindowTitle(tr("Comparator Option Selector"));

    auto* group = new QGroupBox(tr("Fields to compare:"));
    group->setObjectName(QStringLiteral("groupBox"));
    m_list->setObjectName(QStringLiteral("compareList"));
    for (int i = 0; i < ItemCount; ++i) {
        auto* item = new QListWidgetItem(itemText(i), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_list);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addWidget(buttons);
    resize(420, 560);
}

QString cComparatorOptions::itemText(int position) {
    if (position < 0 || position >= ItemCount)
        return {};
    return tr(kItems[position]);
}

QMap<int, bool> cComparatorOptions::selection() const {
    QMap<int, bool> marks;
    for (int i = 0; i < m_list->count(); ++i)
        marks.insert(i, m_list->item(i)->checkState() == Qt::Checked);
    return marks;
}

void cComparatorOptions::setMarked(int position, bool marked) {
    if (QListWidgetItem* item = m_list->item(position))
        item->setCheckState(marked ? Qt::Checked : Qt::Unchecked);
}

bool cComparatorOptions::isMarked(int position) const {
    const QListWidgetItem* item = m_list->item(position);
    return item && item->checkState() == Qt::Checked;
}
