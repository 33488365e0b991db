// The FS editor: the stations of the selected rows onto the map.
#include "cmap.h"
#include "editortext.h"
#include "hcmdocument.h"
#include "hcmeditmdi.h"
#include "prompter.h"
#include "recordtablemodel.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>
#include <vector>

using namespace EditorText;

void hcmEditMDI::showSelectedOnMap(cMap* map) {
    if (!map || isBusy())
        return;
    m_table->setUpdatesEnabled(false);
    QList<QItemSelectionRange> ranges = m_table->selectionModel()->selection();
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const QItemSelectionRange& a, const QItemSelectionRange& b) {
                         return a.top() < b.top();
                     });
    if (ranges.isEmpty()) {
        m_table->setUpdatesEnabled(true);
        return;
    }

    map->clear();
    // cells of one row selected apart come as several ranges: each row counts once
    std::vector<bool> seen(size_t(rowCount()), false);
    for (const QItemSelectionRange& range : ranges) {
        for (int row = std::max(range.top(), 0); row <= range.bottom() && row < rowCount(); ++row) {
            if (seen[size_t(row)])
                continue;
            seen[size_t(row)] = true;
            const HCMRecord* record = document().record(m_model->recordNo(row));
            if (!record)
                continue;
            const QString name = latin1(record->get4A());
            // longitude, then latitude; the first that cannot be read is named and ends it all
            struct Half {
                std::string_view text;
                const char* title;
                const char* message;
            };
            const Half halves[2] = {
                {record->getLongitude(), "Wrong longitude!",
                 "Error found in longitude\n of station "},
                {record->getLatitude(), "Wrong latitude!", "Error found in latitude\nof station "}};
            double degrees[2] = {0, 0};
            for (int h = 0; h < 2; ++h) {
                int error = 0;
                degrees[h] = MapStations::coordinateToDegrees(latin1(halves[h].text), &error);
                if (error) {
                    Prompter::warning(this, tr(halves[h].title), tr(halves[h].message) + name,
                                      QMessageBox::Close);
                    m_table->setUpdatesEnabled(true);
                    return;
                }
            }
            map->addStation(degrees[0], degrees[1], name, latin1(record->get0A()),
                            latin1(record->get1A()), latin1(record->get13X()));
        }
    }
    m_table->setUpdatesEnabled(true);
    map->paintMap();
}
