#pragma once

#include <QIdentityProxyModel>
#include <QSqlRecord>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QSqlQueryModel;
class ReportRowsModel;

// Sorting for the table of a report window. A report can hold millions of rows, which its
// query model fetches in pieces as the table scrolls. The order of a column is computed by the
// database on a worker thread with a connection of its own (ReportOrder: the rowids in order);
// meanwhile the table goes on showing the rows as they were, and once the order is there the
// rows are shown in it (ReportRowsModel, reading the rows of a screen by rowid). A newer request
// replaces one that still runs, whose result is dropped. Column -1 is the stored order: the
// query model itself, at once.
class ReportSortModel : public QIdentityProxyModel {
    Q_OBJECT

public:
    explicit ReportSortModel(QObject* parent = nullptr);
    // stops the workers and waits for them (a stopped sort ends within a few milliseconds)
    ~ReportSortModel() override;

    // the query model of `table` in the report file `file`, read through the connection
    // `connectionName` (none: no report)
    void setReport(QSqlQueryModel* source, const QString& connectionName, const QString& file,
                   const QString& table);

    // Asks for the rows in the order of `column`. The stored order and the order shown come at
    // once, any other order when its worker is done: sortFinished tells when the rows are shown
    // in it, sortFailed when it could not be computed.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // the order shown
    int sortColumn() const { return m_column; }
    Qt::SortOrder sortOrder() const { return m_order; }
    // an order has been asked for and is not shown yet
    bool isSorting() const { return m_pending; }
    // workers still running, stopped ones whose result will be dropped among them
    bool hasRunningWorkers() const { return !m_jobs.empty(); }

    // the stored row shown in `row`
    QSqlRecord record(int row) const;

    // The tool tip of a cell of the "Error" column: the text of its code, as the calculation
    // library gives it (an empty text gives no tool tip).
    void setErrorTexts(std::function<QString(int code)> texts) { m_errorTexts = std::move(texts); }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

signals:
    // a worker computes the order of `column`
    void sortStarted(int column, Qt::SortOrder order);
    // the rows are shown in the order asked for last
    void sortFinished(int column, Qt::SortOrder order);
    // the order asked for last could not be computed; the rows stay in the order shown
    void sortFailed(const QString& reason);

private:
    struct Job;
    void startJob(int column, Qt::SortOrder order);
    void jobEnded(Job* job);
    // the workers that run are told to stop; their results will be dropped
    void stopJobs();
    void show(QAbstractItemModel* model, int column, Qt::SortOrder order);

    QSqlQueryModel* m_source = nullptr;
    QString m_connection;
    QString m_file;
    QString m_table;
    QSqlRecord m_fields;
    std::unique_ptr<ReportRowsModel> m_sorted; // the rows in the order shown, when not stored
    int m_column = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
    bool m_pending = false;
    quint64 m_generation = 0; // of the last request: only its result is shown
    std::vector<std::unique_ptr<Job>> m_jobs;
    std::function<QString(int)> m_errorTexts;
};
