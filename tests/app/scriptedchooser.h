#pragma once

// A file chooser that answers the main window's file-name questions from a list prepared by
// the test and records every question.

#include "filechooser.h"

#include <QList>

class ScriptedChooser : public FileChooser {
public:
    struct Question {
        QString kind; // "open" or "save"
        QString title;
        QString start;
        QString filter;
    };

    QList<QStringList> openAnswers;
    QStringList saveAnswers;
    QStringList saveFilters; // the filter chosen with each save answer
    QList<Question> questions;

    QStringList openFileNames(QWidget*, const QString& title, const QString& directory,
                              const QString& filter) override {
        questions.append({QStringLiteral("open"), title, directory, filter});
        return openAnswers.isEmpty() ? QStringList() : openAnswers.takeFirst();
    }
    QString saveFileName(QWidget*, const QString& title, const QString& start,
                         const QString& filter, QString* selectedFilter) override {
        questions.append({QStringLiteral("save"), title, start, filter});
        // the filter chosen with the answer: the one scripted, else the first one offered
        const QString chosen = saveFilters.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0)
                                                     : saveFilters.takeFirst();
        if (selectedFilter)
            *selectedFilter = chosen;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
};
