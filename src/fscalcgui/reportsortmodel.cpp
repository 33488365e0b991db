#include "reportsortmodel.h"

#include "reportorder.h"
#include "reportrowsmodel.h"

#include <QSqlQueryModel>
#include <QThread>
#include <QVariant>
#include <QVector>
#include <algorithm>

struct ReportSortModel::Job {
    explicit Job(const QString& file) : order(file) {}
    quint64 generation = 0;
    int column = -1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    ReportOrder order;
    // written by the worker, read once its thread has ended
    std::vector<qint64> rowids;
    bool ok = false;
    std::unique_ptr<QThread> thread;
};

ReportSortModel::ReportSortModel(QObject* parent) : QIdentityProxyModel(parent) {}

ReportSortModel::~ReportSortModel() {
    stopJobs();
    for (const auto& job : m_jobs)
        job->thread->wait();
    m_jobs.clear();
}

void ReportSortModel::setReport(QSqlQueryModel* source, const QString& connectionName,
                                const QString& file, const QString& table) {
    stopJobs();
    ++m_generation;
    m_pending = false;
    m_source = source;
    m_connection = connectionName;
    m_file = file;
    m_table = table;
    m_fields = source ? source->record() : QSqlRecord();
    show(source, -1, Qt::AscendingOrder);
}

void ReportSortModel::show(QAbstractItemModel* model, int column, Qt::SortOrder order) {
    // the rows in the old order go only once the table has let go of them
    std::unique_ptr<ReportRowsModel> old;
    if (model != m_sorted.get())
        old = std::move(m_sorted);
    if (sourceModel() != model)
        setSourceModel(model);
    m_column = column;
    m_order = order;
}

void ReportSortModel::sort(int column, Qt::SortOrder order) {
    if (!m_source || m_table.isEmpty() || column >= m_fields.count())
        return;
    if (column < 0)
        column = -1;
    ++m_generation;
    stopJobs();
    if (column == -1 || (column == m_column && order == m_order)) {
        if (column == -1)
            show(m_source, -1, order);
        m_pending = false;
        emit sortFinished(column, order);
        return;
    }
    m_pending = true;
    startJob(column, order);
    emit sortStarted(column, order);
}

void ReportSortModel::startJob(int column, Qt::SortOrder order) {
    auto job = std::make_unique<Job>(m_file);
    job->generation = m_generation;
    job->column = column;
    job->sortOrder = order;
    Job* const j = job.get();
    const QString table = m_table;
    const QString name = m_fields.fieldName(column);
    j->thread.reset(QThread::create([j, table, name] {
        j->ok = j->order.compute(table, name, j->sortOrder == Qt::DescendingOrder, j->rowids);
    }));
    connect(j->thread.get(), &QThread::finished, this, [this, j] { jobEnded(j); });
    m_jobs.push_back(std::move(job));
    j->thread->start();
}

void ReportSortModel::stopJobs() {
    for (const auto& job : m_jobs)
        job->order.interrupt();
}

void ReportSortModel::jobEnded(Job* j) {
    const auto at = std::find_if(m_jobs.begin(), m_jobs.end(),
                                 [j](const std::unique_ptr<Job>& job) { return job.get() == j; });
    if (at == m_jobs.end())
        return;
    std::unique_ptr<Job> job = std::move(*at);
    m_jobs.erase(at);
    job->thread->wait(); // finished comes just before the thread's very end
    if (job->generation != m_generation || !m_source)
        return; // a newer request replaced it
    m_pending = false;
    if (!job->ok) {
        emit sortFailed(job->order.errorString());
        return;
    }
    QVector<QVariant> headers;
    for (int i = 0; i < m_source->columnCount(); ++i)
        headers.append(m_source->headerData(i, Qt::Horizontal));
    auto rows = std::make_unique<ReportRowsModel>(m_connection, m_table, m_fields, headers,
                                                  std::move(job->rowids));
    // the rows in the old order go once the table shows the new ones
    std::unique_ptr<ReportRowsModel> old = std::move(m_sorted);
    m_sorted = std::move(rows);
    show(m_sorted.get(), job->column, job->sortOrder);
    emit sortFinished(m_column, m_order);
}

QSqlRecord ReportSortModel::record(int row) const {
    if (m_sorted && sourceModel() == m_sorted.get())
        return m_sorted->record(row);
    return m_source ? m_source->record(row) : QSqlRecord();
}

QVariant ReportSortModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::ToolTipRole || !m_source || !m_errorTexts || !index.isValid() ||
        m_fields.fieldName(index.column()) != QLatin1String("Error"))
        return QIdentityProxyModel::data(index, role);
    bool ok = false;
    const int code = QIdentityProxyModel::data(index, Qt::DisplayRole).toInt(&ok);
    if (!ok || code == 0)
        return QVariant();
    const QString text = m_errorTexts(code);
    return text.isEmpty() ? QVariant() : QVariant(text);
}
