// The FS editor: the stations of the selected rows onto the map.
#include "cmap.h"
#include "editortext.h"
#include "hcmdocument.h"
#include "hcmeditmdi.h"
#include "prompter.h"
#include "recordtablemodel.h"

#include <QTableView>
#include <algorithm>
#include <vector>

using namespace EditorText;

void hcmEditMDI::showSelectedOnMap(cMap* map) {
    if (!map || isBusy())
        return;
    m_table->setUpdatesEnabled(false);
    // the rows of the selection once each, top to bottom (as its ranges taken by first row)
    std::vector<int> rows = selectedRows(false);
    if (rows.empty()) {
        m_table->setUpdatesEnabled(true);
        return;
    }
    std::sort(rows.begin(), rows.end());

    map->clear();
    for (const int row : rows) {
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
            {record->getLongitude(), "Wrong longitude!", "Error found in longitude\n of station "},
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
    m_table->setUpdatesEnabled(true);
    map->paintMap();
}
