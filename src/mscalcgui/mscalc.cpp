#include "mscalc.h"

#include "mscalclibrary.h"
#include "mscalcmodes.h"
#include "msresultsmodel.h"
#include "mstablemodel.h"
#include "prompter.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <cmath>

MSCalc::MSCalc(const Setup& setup, QWidget* parent)
    : QWidget(parent), m_setup(setup), m_library(std::make_unique<MSCalcLibrary>()),
      m_test(std::make_unique<MSTableModel>()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmCalcMs"));
    setWindowTitle(tr("MS Calculation Report"));
    auto* layout = new QVBoxLayout(this);
    twList = new QTreeView(this);
    twList->setObjectName(QStringLiteral("twList"));
    twList->setUniformRowHeights(true);
    m_results = new MSResultsModel(this);
    twList->setModel(m_results);
    layout->addWidget(twList);
    auto* bottom = new QHBoxLayout;
    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("progress"));
    pbCancel = new QPushButton(tr("Cancel"), this);
    pbCancel->setObjectName(QStringLiteral("pbCancel"));
    pbCancel->setEnabled(false);
    bottom->addWidget(progress);
    bottom->addWidget(pbCancel);
    layout->addLayout(bottom);
    twList->header()->resizeSection(0, 260);
    twList->header()->resizeSection(1, 110);
}

MSCalc::~MSCalc() {
    delete m_run; // stops and waits before the models and the library go
}

void MSCalc::fail(const QString& text) {
    Prompter::warning(this, tr("Tarnwell Error"), text, QMessageBox::Close);
}

bool MSCalc::loadFile(const QString& file, const QString& missingText, MSTableModel& model) {
    if (!QFileInfo::exists(file)) {
        fail(missingText.arg(file));
        return false;
    }
    if (!model.readFile(file)) {
        fail(model.lastError());
        return false;
    }
    return true;
}

void MSCalc::start() {
    if (!m_library->load(m_setup.library)) {
        fail(tr("Tarnwell failed to load HCM MS calculation library (DLL).\nFollowing error "
                "message was produced:\n%1")
                 .arg(m_library->errorText()));
        return;
    }
    if (m_setup.testFile.isEmpty()) {
        QTimer::singleShot(1, this, &QWidget::close);
        return;
    }
    if (!loadFile(m_setup.testFile, tr("Test file\n%1\n does not exist"), *m_test))
        return;
    const MSTableModel* reference = nullptr;
    if (m_setup.cmode >= 0) {
        // without a reference file there are no pairs, and no border line is asked for alone
        if (m_setup.referenceFile.isEmpty() && m_setup.country.isEmpty())
            return;
        if (!m_setup.referenceFile.isEmpty()) {
            m_reference = std::make_unique<MSTableModel>();
            if (!loadFile(m_setup.referenceFile, tr("Reference file\n%1\n does not exist"),
                          *m_reference))
                return;
            reference = m_reference.get();
        }
    }
    MSCalcTh::Parameters p;
    p.cmode = m_setup.cmode;
    p.input = {m_setup.sea,  m_setup.depolarisation, m_setup.permissibleFieldStrength,
               m_setup.topo, m_setup.border,         m_setup.morpho};
    p.country = m_setup.country;
    const MSCalcModes::Mode* mode = MSCalcModes::find(m_setup.cmode);
    p.rxHeight = mode ? mode->rxHeight : 10.0;
    bool given = false;
    const double field = m_setup.permissibleFieldStrength.trimmed().toDouble(&given);
    p.permissible = given ? field : mode ? mode->permissible : std::nan("");
    if (!m_setup.country.isEmpty() && !m_library->hasBorderLine())
        p.country.clear(); // a library without border lines: the pairs only
    m_run = new MSCalcTh(m_library.get(), m_test.get(), reference, p, this);
    connect(m_run, &MSCalcTh::finished, this, &MSCalc::showResults);
    connect(m_run, &MSCalcTh::progress, this, &MSCalc::setProgress);
    connect(pbCancel, &QPushButton::clicked, m_run, &MSCalcTh::cancel);
    if (m_run->start())
        pbCancel->setEnabled(true);
}

bool MSCalc::isRunning() const {
    return m_run && m_run->isRunning();
}

void MSCalc::setProgress(int max, int value) {
    progress->setMaximum(max);
    progress->setValue(value);
}

void MSCalc::showResults() {
    pbCancel->setEnabled(false);
    m_results->setResults(m_run->results());
    twList->expandToDepth(0);
}

void MSCalc::closeEvent(QCloseEvent* event) {
    if (m_run)
        m_run->stop(); // the results so far are not shown: the window goes
    event->accept();
}
