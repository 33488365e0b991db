#pragma once

// The questions for file names that the main window asks. The program uses the toolkit's file
// dialogs; tests install a chooser of their own that answers without a dialog.

#include <QString>
#include <QStringList>

class QWidget;

class FileChooser {
public:
    virtual ~FileChooser();

    // the chosen files, empty when the user cancels
    virtual QStringList openFileNames(QWidget* parent, const QString& title,
                                      const QString& directory, const QString& filter);
    // the chosen file, empty when the user cancels; `selectedFilter`, when given, receives
    // the filter the user chose
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& start,
                                 const QString& filter, QString* selectedFilter = nullptr);
};
