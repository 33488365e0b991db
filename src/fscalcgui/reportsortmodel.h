#pragma once

#include <QIdentityProxyModel>
#include <QSqlRecord>
#include <QString>
#include <functional>

class QSqlQueryModel;

// Sorting for the table of a report window. A report can hold millions of rows, which its
// query model fetches in pieces as the table scrolls, so the rows are ordered by the database
// (the same query with ORDER BY) rather than in memory; column -1 is the stored order.
class ReportSortModel : public QIdentityProxyModel {
    Q_OBJECT

public:
    explicit ReportSortModel(QObject* parent = nullptr);

    // the query model of `table` in the database of the connection `connectionName`
    void setReport(QSqlQueryModel* source, const QString& connectionName, const QString& table);

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_column; }
    Qt::SortOrder sortOrder() const { return m_order; }

    // the stored row shown in `row`
    QSqlRecord record(int row) const;

    // The tool tip of a cell of the "Error" column: the text of its code, as the calculation
    // library gives it (an empty text gives no tool tip).
    void setErrorTexts(std::function<QString(int code)> texts) { m_errorTexts = std::move(texts); }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QSqlQueryModel* m_source = nullptr;
    QString m_connection;
    QString m_table;
    int m_column = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
    std::function<QString(int)> m_errorTexts;
};
