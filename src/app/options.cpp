#include "options.h"

#include "apppaths.h"
#include "appresources.h"
#include "elfversion.h"
#include "prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* label(const QString& text, QWidget* parent, const char* name = nullptr) {
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

Options::Options(QWidget* parent) : QDialog(parent) {
    AppResources::init();
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(tr("Options"));
    resize(934, 297);

    auto* top = new QHBoxLayout;
    m_ui.menu = named(new QListWidget(this), "menu");
    m_ui.menu->setMaximumWidth(190);
    m_ui.menu->setIconSize(QSize(32, 32));
    const struct {
        QString text;
        const char* icon;
    } entries[] = {
        {tr("Paths"), ":/main/pics/folder.png"},
        {tr("Calculation"), ":/main/pics/1to1.png"},
        {tr("Syntax checking"), ":/main/pics/syntax-check.png"},
        {tr("Update"), ":/main/pics/system-software-update.png"},
    };
    for (const auto& e : entries)
        new QListWidgetItem(QIcon(QLatin1String(e.icon)), e.text, m_ui.menu);
    top->addWidget(m_ui.menu);

    m_ui.details = named(new QStackedWidget(this), "details");
    m_ui.details->addWidget(buildPathsPage());
    m_ui.details->addWidget(buildCalculationPage());
    m_ui.details->addWidget(buildSyntaxPage());
    m_ui.details->addWidget(buildUpdatePage());
    top->addWidget(m_ui.details, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_ui.okButton = named(new QPushButton(tr("OK"), this), "okButton");
    m_ui.okButton->setDefault(true);
    m_ui.cancelButton = named(new QPushButton(tr("Cancel"), this), "cancelButton");
    buttons->addWidget(m_ui.okButton);
    buttons->addWidget(m_ui.cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(m_ui.menu, &QListWidget::currentRowChanged, m_ui.details,
            &QStackedWidget::setCurrentIndex);
    connect(m_ui.okButton, &QPushButton::clicked, this, &Options::tryAccept);
    connect(m_ui.cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui.pathLibrary, &QComboBox::textActivated, this, &Options::getVersion);
    connect(m_ui.pathLibraryMs, &QComboBox::textActivated, this, &Options::getVersionMs);
    connect(m_ui.toolButtonTopo, &QToolButton::clicked, this, &Options::showDlgTopo);
    connect(m_ui.toolButtonMorpho, &QToolButton::clicked, this, &Options::showDlgMorpho);
    connect(m_ui.toolButtonBorder, &QToolButton::clicked, this, &Options::showDlgBorder);

    m_ui.details->setCurrentIndex(0);
    m_ui.menu->setCurrentRow(0);
}

QWidget* Options::buildPathsPage() {
    auto* page = named(new QWidget, "page_3");
    auto* grid = new QGridLayout(page);
    auto row = [&](int r, const QString& text, const char* labelName, QLineEdit*& field,
                   const char* fieldName, QToolButton*& button, const char* buttonName) {
        grid->addWidget(label(text, page, labelName), r, 0);
        field = named(new QLineEdit(page), fieldName);
        grid->addWidget(field, r, 1);
        button = named(new QToolButton(page), buttonName);
        button->setText(QStringLiteral("..."));
        grid->addWidget(button, r, 2);
    };
    row(0, tr("Directory of topological data:"), "lTopo", m_ui.pathTopo, "pathTopo",
        m_ui.toolButtonTopo, "toolButtonTopo");
    row(1, tr("Directory of border data:"), "lBorder", m_ui.pathBorder, "pathBorder",
        m_ui.toolButtonBorder, "toolButtonBorder");
    row(2, tr("Directory of morphological data:"), "lMorpho", m_ui.pathMorpho, "pathMorpho",
        m_ui.toolButtonMorpho, "toolButtonMorpho");
    grid->setRowStretch(3, 1);
    return page;
}

QWidget* Options::buildCalculationPage() {
    auto* page = named(new QWidget, "page_5");
    auto* layout = new QVBoxLayout(page);

    auto* libraries = new QGroupBox(tr("Calculation libraries (DLL's)"), page);
    auto* lg = new QGridLayout(libraries);
    auto library = [&](int r, const QString& text, QComboBox*& box, const char* boxName,
                       QLineEdit*& version, const char* versionName) {
        lg->addWidget(label(text, libraries), r, 0);
        box = named(new QComboBox(libraries), boxName);
        box->setEditable(true);
        box->setMinimumWidth(200);
        box->setInsertPolicy(QComboBox::NoInsert);
        lg->addWidget(box, r, 1);
        lg->addWidget(label(tr("Version:"), libraries), r, 2);
        version = named(new QLineEdit(libraries), versionName);
        version->setEnabled(false);
        version->setFixedWidth(100);
        lg->addWidget(version, r, 3);
    };
    library(0, tr("HCM-FS calculation library:"), m_ui.pathLibrary, "pathLibrary", m_ui.versionFS,
            "versionFS");
    library(1, tr("HCM-MS calculation library"), m_ui.pathLibraryMs, "pathLibraryMs",
            m_ui.versionMS, "versionMS");
    lg->setColumnStretch(1, 1);
    layout->addWidget(libraries);

    auto* thresholds = new QGroupBox(
        tr("Perform calculation if the following conditions are met (FS options)"), page);
    auto* tg = new QGridLayout(thresholds);
    auto threshold = [&](int r, const QString& text, QLineEdit*& field, const char* name,
                         const QString& unit) {
        tg->addWidget(label(text, thresholds), r, 0);
        field = named(new QLineEdit(thresholds), name);
        tg->addWidget(field, r, 1);
        tg->addWidget(label(unit, thresholds), r, 2);
    };
    threshold(0, tr("Frequency difference between Tx and Rx <"), m_ui.leFrequency_TXRX,
              "leFrequency_TXRX", tr("MHz"));
    threshold(1, tr("Distance between Tx and Rx <"), m_ui.leDistance_TXRX, "leDistance_TXRX",
              tr("km"));
    threshold(2, tr("Distance between PTx and Rx <"), m_ui.leDistance_PTXRX, "leDistance_PTXRX",
              tr("km"));
    tg->setColumnStretch(3, 1);
    layout->addWidget(thresholds);
    layout->addStretch(1);
    return page;
}

QWidget* Options::buildSyntaxPage() {
    auto* page = named(new QWidget, "page");
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(tr("FS options"), page);
    auto* gl = new QVBoxLayout(group);
    auto box = [&](const QString& text, const char* name) {
        auto* cb = named(new QCheckBox(text, group), name);
        gl->addWidget(cb);
        return cb;
    };
    m_ui.cbEnableChecking = box(tr("Check syntax while editing file"), "cbEnableChecking");
    m_ui.cbCheckCalcErrors =
        box(tr("Check entries required for calculations only"), "cbCheckCalcErrors");
    m_ui.cbCheckFormatErrors = box(tr("Check format of numbers"), "cbCheckFormatErrors");
    m_ui.cbCheckValueWarnings =
        box(tr("Show warnings on suspicious values"), "cbCheckValueWarnings");
    m_ui.cbCheckCaracterWarnings =
        box(tr("Show warnings on illegal characters"), "cbCheckCaracterWarnings");
    m_ui.cbCheckWhenLoading = box(tr("Show report after file is loaded"), "cbCheckWhenLoading");
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QWidget* Options::buildUpdatePage() {
    auto* page = named(new QWidget, "page_4");
    auto* layout = new QVBoxLayout(page);
    m_ui.cbUpdate =
        named(new QCheckBox(tr("Check for update when program is started"), page), "cbUpdate");
    layout->addWidget(m_ui.cbUpdate);
    layout->addStretch(1);
    return page;
}

QString Options::libraryDirectory() const {
    return m_libraryDirectory.isEmpty() ? AppPaths::libraryFolder() : m_libraryDirectory;
}

void Options::setLibraryDirectory(const QString& directory) {
    m_libraryDirectory = directory;
}

QString Options::userLibraryDirectory() const {
    return m_userLibraryDirectory.isEmpty() ? AppPaths::userLibraryFolder()
                                            : m_userLibraryDirectory;
}

void Options::setUserLibraryDirectory(const QString& directory) {
    m_userLibraryDirectory = directory;
}

void Options::setOptions(bool checkOnEditing, bool calcErrors, bool formatErrors,
                         bool checkValueWarnings, bool checkCharacterWarnings,
                         bool checkOnLoading) {
    m_ui.cbEnableChecking->setChecked(checkOnEditing);
    m_ui.cbCheckCalcErrors->setChecked(calcErrors);
    m_ui.cbCheckFormatErrors->setChecked(formatErrors);
    m_ui.cbCheckValueWarnings->setChecked(checkValueWarnings);
    m_ui.cbCheckCaracterWarnings->setChecked(checkCharacterWarnings);
    m_ui.cbCheckWhenLoading->setChecked(checkOnLoading);
}

QString Options::versionOf(const QString& dll) const {
    if (dll.isEmpty())
        return QString();
    return ElfVersion::fileVersion(QDir(libraryDirectory()).filePath(dll));
}

void Options::getVersion(const QString& dll) {
    m_ui.versionFS->setText(versionOf(dll));
}

void Options::getVersionMs(const QString& dll) {
    m_ui.versionMS->setText(versionOf(dll));
}

void Options::refill(QComboBox* box, const QStringList& files) {
    const QString chosen = box->currentText();
    box->clear();
    box->addItems(files);
    if (!chosen.isEmpty()) {
        const int at = box->findText(chosen);
        if (at >= 0)
            box->setCurrentIndex(at);
        else
            box->setEditText(chosen);
    }
}

QStringList Options::libraryFiles(const QString& pattern) const {
    const QDir shipped(libraryDirectory());
    QStringList files = shipped.entryList({pattern}, QDir::Files, QDir::Unsorted);
    const QDir user(userLibraryDirectory());
    for (const QString& name : user.entryList({pattern}, QDir::Files, QDir::Name))
        files << user.absoluteFilePath(name);
    return files;
}

void Options::refreshLibraryLists() {
    refill(m_ui.pathLibrary, libraryFiles(QStringLiteral("HCMFS*.so")));
    refill(m_ui.pathLibraryMs, libraryFiles(QStringLiteral("HCMMS*.so")));
    getVersion(m_ui.pathLibrary->currentText());
    getVersionMs(m_ui.pathLibraryMs->currentText());
}

bool Options::limits(Limits& out, QLineEdit** refused, QString* reason) const {
    struct Field {
        QLineEdit* edit;
        double* value;
        const char* notNumber;
        const char* negative;
    };
    const Field fields[] = {
        {m_ui.leFrequency_TXRX, &out.frequency, QT_TR_NOOP("Entered frequency is not a number!"),
         QT_TR_NOOP("Entered frequency must not be negative!")},
        {m_ui.leDistance_TXRX, &out.distance,
         QT_TR_NOOP("Entered distance TX->RX is not a number!"),
         QT_TR_NOOP("Entered distance TX->RX must not be negative!")},
        {m_ui.leDistance_PTXRX, &out.ptxDistance,
         QT_TR_NOOP("Entered distance PTX->RX is not a number!"),
         QT_TR_NOOP("Entered distance PTX->RX must not be negative!")},
    };
    for (const Field& f : fields) {
        bool ok = false;
        *f.value = f.edit->text().toDouble(&ok);
        const char* problem = !ok || !std::isfinite(*f.value) ? f.notNumber
                              : *f.value < 0                  ? f.negative
                                                              : nullptr;
        if (problem) {
            if (refused)
                *refused = f.edit;
            if (reason)
                *reason = tr(problem);
            return false;
        }
    }
    return true;
}

void Options::tryAccept() {
    Limits values;
    QLineEdit* refused = nullptr;
    QString reason;
    if (!limits(values, &refused, &reason)) {
        // nothing is taken over: the dialog stays open on the refused value
        Prompter::warning(this, tr("Applying options"), reason, QMessageBox::Close);
        m_ui.menu->setCurrentRow(1);
        refused->setFocus();
        refused->selectAll();
        return;
    }
    accept();
    emit applied();
}

void Options::pickFolder(QLineEdit* field, const QString& title) {
    // the dialog, and the field with it, may be destroyed while the question runs
    const QPointer<QLineEdit> target = field;
    const QString chosen = Prompter::instance().existingDirectory(this, title, field->text());
    if (target && !chosen.isEmpty())
        target->setText(chosen);
}

void Options::showDlgTopo() {
    pickFolder(m_ui.pathTopo, tr("Select directory of topographical data"));
}

void Options::showDlgMorpho() {
    pickFolder(m_ui.pathMorpho, tr("Select directory of morphological data"));
}

void Options::showDlgBorder() {
    pickFolder(m_ui.pathBorder, tr("Select directory of border data"));
}
