// "Show Selected on Google Maps" in the main window: the selected FS records onto the map
// window, the warnings for coordinates that cannot be read, and the map repainted from other
// windows.
#include "testregistry.h"

#include "cmap.h"
#include "hcmeditmdi.h"
#include "hcmform.h"
#include "mainwindowdriver.h"
#include "testenvironment.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {

// FS records from the sample's first record: (name, 4C) each, frequency and type kept
QByteArray records(const QList<QPair<QByteArray, QByteArray>>& stations) {
    const QList<QByteArray> lines = TestEnvironment::sampleFile().split('\n');
    QList<QByteArray> fields = lines.value(1).trimmed().split(';');
    QByteArray out;
    for (const auto& [name, coordinates] : stations) {
        fields[8] = name;
        fields[10] = coordinates;
        out += fields.join(';') + "\r\n";
    }
    return out;
}

struct Window : MainWindowDriver {
    hcmEditMDI* open(const QString& path) {
        form->openFromCommandLine({QStringLiteral("tarnwell"), path});
        auto editor = [this] { return hcmForm::fsEditorOf(windows().value(0)); };
        if (!QTest::qWaitFor([&] { return editor() && !editor()->isBusy(); }, 20000))
            return nullptr;
        return editor();
    }
    void show() { form->ui().actionShow_on_Google_Earth->trigger(); }
};

void selectRows(hcmEditMDI* editor, const QList<int>& rows) {
    QItemSelectionModel* selection = editor->tableView()->selectionModel();
    selection->clearSelection();
    for (const int row : rows)
        selection->select(editor->tableView()->model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QStringList titles(const cMap* map) {
    QStringList list;
    for (const MapStations::Position& p : map->stations().positions()) {
        QStringList names;
        for (const MapStations::Station& s : p.stations)
            names << s.name + QLatin1Char('x') + QString::number(s.entries.size());
        list << names.join(QLatin1Char('/'));
    }
    return list;
}

} // namespace

class TestMapFlows : public QObject {
    Q_OBJECT
private slots:
    void selectionOntoMap() {
        TestEnvironment env;
        env.presetIni({{QStringLiteral("map_tile_url"), QStringLiteral("http://127.0.0.1:9/{z}")}});
        const QString file = env.writeFile(QStringLiteral("stations.txt"),
                                           records({{"ALPHA", "016E221548N1230"},
                                                    {"BRAVO", "016E221548N1230"},
                                                    {"ALPHA", "016E221548N1230"},
                                                    {"GRAZ", "015E263747N0439"},
                                                    {"BAD LON", "016X221548N1230"},
                                                    {"BAD LAT", "016E221595N1230"}}));
        Window w;
        hcmEditMDI* editor = w.open(file);
        QVERIFY(editor);
        QVERIFY(w->ui().actionShow_on_Google_Earth->isEnabled());

        // the rows of the selection, in table order, each counted once
        selectRows(editor, {3, 0, 1, 2});
        editor->tableView()->selectionModel()->select(editor->tableView()->model()->index(0, 2),
                                                      QItemSelectionModel::Select);
        w.show();
        cMap* map = w->mapWindow();
        QVERIFY(map);
        QCOMPARE(w.windows().size(), 2);
        QCOMPARE(w.windows().last()->objectName(), QStringLiteral("map"));
        QCOMPARE(titles(map),
                 (QStringList{QStringLiteral("ALPHAx2/BRAVOx1"), QStringLiteral("GRAZx1")}));
        const MapStations::Entry& entry = map->stations().positions()[0].stations[0].entries[0];
        QCOMPARE(entry.type, QStringLiteral("TX"));
        QCOMPARE(entry.frequency, QStringLiteral("18725"));
        QCOMPARE(entry.reference, QStringLiteral("AUTVIEGRZLINK0000123"));
        QVERIFY(map->markerIcon().endsWith(QStringLiteral("/google_earth/placemark_circle.png")));
        QCOMPARE(map->pageOptions().provider, MapPage::Provider::Offline);
        QCOMPARE(map->pageOptions().tileUrl, QStringLiteral("http://127.0.0.1:9/{z}"));
        QVERIFY(map->pageText().contains(QStringLiteral("\"ALPHA / BRAVO\"")));

        // a coordinate that cannot be read: a warning, the map keeps its page
        const QString page = map->pageText();
        for (const auto& [row, title, text] :
             {std::tuple{4, "Wrong longitude!", "Error found in longitude\n of station BAD LON"},
              std::tuple{5, "Wrong latitude!", "Error found in latitude\nof station BAD LAT"}}) {
            w.form->ui().mdiArea->setActiveSubWindow(w.windows().first());
            selectRows(editor, {0, row});
            w.prompter.answer(QMessageBox::Close);
            w.show();
            QCOMPARE(w.prompter.titles().last(), QString::fromLatin1(title));
            QCOMPARE(w.prompter.texts().last(), QString::fromLatin1(text));
            QCOMPARE(map->pageText(), page);
        }

        // no selection: nothing changes
        w.form->ui().mdiArea->setActiveSubWindow(w.windows().first());
        const QStringList before = titles(map);
        editor->tableView()->selectionModel()->clearSelection();
        QSignalSpy painted(map, &cMap::pageLoaded);
        w.show();
        QCOMPARE(w.windows().size(), 2);
        QCOMPARE(titles(map), before);
        QCOMPARE(map->pageText(), page);

        // from the map window itself: drawn again from what it holds
        editor->setModified(false);
        w.form->ui().mdiArea->setActiveSubWindow(w.windows().last());
        QVERIFY(w->ui().actionShow_on_Google_Earth->isEnabled());
        map->clear();
        map->addStation(1, 2, QStringLiteral("HELD"), {}, {}, {});
        w.show();
        QCOMPARE(titles(map), QStringList{QStringLiteral("HELDx1")});
        QVERIFY(map->pageText().contains(QStringLiteral("\t[2, 1, \"HELD\", ")));
    }

    // with a key the page is Google's, its script from the server of the settings
    void keyGivesGooglePage() {
        TestEnvironment env;
        env.presetIni({{QStringLiteral("map_api_key"), QStringLiteral("K")},
                       {QStringLiteral("map_script_url"), QStringLiteral("http://127.0.0.1:9")}});
        Window w;
        hcmEditMDI* editor =
            w.open(env.writeFile(QStringLiteral("s.txt"), records({{"HELD", "016E221548N1230"}})));
        QVERIFY(editor);
        selectRows(editor, {0});
        w.show();
        editor->setModified(false);
        QVERIFY(w->mapWindow());
        QVERIFY(w->mapWindow()->pageText().startsWith(
            QStringLiteral("<script type=\"text/javascript\"\n\tsrc=\"http://127.0.0.1:9"
                           "/maps/api/js?sensor=true&key=K\">")));
        QVERIFY(w->mapWindow()->pageText().contains(QStringLiteral("title: \"HELD\"")));
    }
};

TARNWELL_TEST(TestMapFlows)
#include "tst_mapflows.moc"
