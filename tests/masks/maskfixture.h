#pragma once

// A copy of the shipped equipment.db in a temporary folder with a mask dialog open on it, and
// what the tests read back from the file through a connection of their own.

#include "maskdialog.h"
#include "treemodel.h"

#include <QAbstractItemModelTester>
#include <QMap>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace MaskTest {

extern const char* const kTables[9];

// the number of rows of every table of the file
QMap<QString, qint64> tableCounts(const QString& path);
// the first value of a statement run on the file, with `value` bound to :value
QVariant scalar(const QString& path, const QString& sql, const QVariant& value = {});
// rows whose parent row is missing, over the four parent links
qint64 orphanRows(const QString& path);
// the rows of each level in the subtree of an item, the item included (maskgroup … mpoints)
QMap<QString, qint64> subtreeCounts(const QModelIndex& index);
// the first item (column 0) below `parent`, at any depth, whose column `column` starts with
// `text`
QModelIndex findItem(const QAbstractItemModel* model, const QString& text, int column = 0,
                     const QModelIndex& parent = {});
// the first item, at any depth, that is wanted
QModelIndex findItem(const QAbstractItemModel* model,
                     const std::function<bool(const QModelIndex&)>& wanted,
                     const QModelIndex& parent = {});

struct Fixture {
    Fixture(); // copies the shipped database; open() makes the dialog
    bool open();
    TreeModel* model() const { return dialog->model(); }
    void select(const QModelIndex& index);

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<maskDialog> dialog;
    std::unique_ptr<QAbstractItemModelTester> tester; // checks the model through every test
};

} // namespace MaskTest
