#include "filechooser.h"

#include <QFileDialog>

FileChooser::~FileChooser() = default;

QStringList FileChooser::openFileNames(QWidget* parent, const QString& title,
                                       const QString& directory, const QString& filter) {
    return QFileDialog::getOpenFileNames(parent, title, directory, filter);
}

QString FileChooser::saveFileName(QWidget* parent, const QString& title, const QString& start,
                                  const QString& filter, QString* selectedFilter) {
    return QFileDialog::getSaveFileName(parent, title, start, filter, selectedFilter);
}
