#include "mappage.h"

#include "mapstations.h"

#include <QFileInfo>
#include <QUrl>
#include <initializer_list>

namespace {

// %1..%9 of the template replaced in one pass, so that a value holding "%2" stays as it is
void fill(QString& out, QLatin1String pattern, std::initializer_list<const QString*> values) {
    const QString* const* args = values.begin();
    const int count = int(values.size());
    qsizetype from = 0;
    for (qsizetype i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] != QLatin1Char('%'))
            continue;
        const int n = pattern[i + 1].unicode() - '1';
        if (n < 0 || n >= count)
            continue;
        out += pattern.sliced(from, i - from);
        out += *args[n];
        from = i + 2;
        ++i;
    }
    out += pattern.sliced(from);
}

struct Templates {
    QLatin1String head;     // %1 icon, %2..%5 viewport, %6 script, %7 style, %8 outlines, %9 tiles
    QLatin1String position; // %1 latitude, %2 longitude, %3 title, %4 index, %5 information
    QLatin1String tail;
};

// the page of the Google Maps JavaScript API, version 3
const Templates kGoogle{
    QLatin1String(
        "<script type=\"text/javascript\"\n\tsrc=\"%6\">\n</script>\n"
        "<script type=\"text/javascript\">\n  function initialize() {\n\tvar myOptions = {\n"
        "\t  zoom: 5,\n\t  scrollwheel: true,\n\t  mapTypeId: google.maps.MapTypeId.ROADMAP\n"
        "\t};\n\tvar map = new google.maps.Map(document.getElementById(\"map_canvas\"),\n"
        "\t\tmyOptions);\n\tvar infoWindow = new google.maps.InfoWindow();\n"
        "\tvar viewPort = new google.maps.LatLngBounds(new google.maps.LatLng(%2, %3), "
        "new google.maps.LatLng(%4, %5));\n\tvar image = \"%1\";\n"),
    QLatin1String(
        "\tvar cord%4 = new google.maps.LatLng(%1, %2);\n"
        "\tvar marker%4 = new google.maps.Marker({position: cord%4, map: map, title: \"%3\", "
        "icon: image});\n"
        "\tgoogle.maps.event.addListener(marker%4, 'click', function(){infoWindow.setContent("
        "'%5');infoWindow.open(map, marker%4);} );\n"),
    QLatin1String("\tmap.fitBounds(viewPort);\n}\n</script>\n</head>\n"
                  "<body onload=\"initialize()\">\n"
                  "<div id=\"map_canvas\" style=\"width:100%; height:100%\"></div>\n"
                  "</body>\n</html>\n")};

// the offline page: Leaflet over the country outlines; the positions are rows of data that
// one loop turns into markers
const Templates kOffline{
    QLatin1String("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Map</title>\n"
                  "<link rel=\"stylesheet\" href=\"%7\">\n"
                  "<style>html, body, #map_canvas { width: 100%; height: 100%; margin: 0; }\n"
                  "#map_canvas { background: #cfe3f0; }\n"
                  "#map_message { position: absolute; top: 8px; left: 50px; z-index: 1000; "
                  "background: #fff; padding: 4px; font: 13px sans-serif; }</style>\n"
                  "<script type=\"text/javascript\" src=\"%6\"></script>\n"
                  "<script type=\"text/javascript\">\n"
                  "  var image = \"%1\";\n"
                  "  var outlinesFile = \"%8\";\n"
                  "  var tileUrl = \"%9\";\n"
                  "  var markers = [];\n"
                  "  var outlines = null;\n"
                  "  var positions = [\n"),
    QLatin1String("\t[%1, %2, \"%3\", '%5'],\n"),
    QLatin1String(
        "  ];\n"
        "  function say(text) {\n"
        "    var box = document.getElementById(\"map_message\");\n"
        "    box.textContent = text;\n"
        "    box.style.display = \"block\";\n"
        "  }\n"
        "  function textOf(text) {\n"
        "    return function() { var e = document.createElement(\"span\"); "
        "e.textContent = text; return e; };\n"
        "  }\n"
        "  function initialize() {\n"
        "    if (typeof L === \"undefined\") {\n"
        "      say(\"The map library Leaflet is not installed (Debian package libjs-leaflet).\");\n"
        "      return;\n"
        "    }\n"
        "    var map = L.map(\"map_canvas\", {preferCanvas: true, scrollWheelZoom: true});\n"
        "    map.fitBounds(%10);\n"
        "    if (tileUrl)\n"
        "      L.tileLayer(tileUrl, {maxZoom: 19}).addTo(map);\n"
        "    map.createPane(\"outlines\").style.zIndex = 350;\n"
        "    var request = new XMLHttpRequest();\n"
        "    request.onload = function() {\n"
        "      try {\n"
        "        outlines = L.geoJSON(JSON.parse(request.responseText), {pane: \"outlines\", "
        "interactive: false,\n"
        "          style: {color: \"#707070\", weight: 1, fillColor: \"#f4f1e8\", "
        "fillOpacity: tileUrl ? 0 : 1}}).addTo(map);\n"
        "      } catch (e) { say(\"The country outlines could not be read.\"); }\n"
        "    };\n"
        "    request.onerror = function() { say(\"The country outlines could not be read.\"); };\n"
        "    request.open(\"GET\", outlinesFile);\n"
        "    request.send();\n"
        "    var infoWindow = L.popup();\n"
        "    for (var i = 0; i < positions.length; ++i) {\n"
        "      var p = positions[i];\n"
        "      var marker = L.circleMarker([p[0], p[1]], {radius: 6, weight: 2, color: "
        "\"#7a0000\",\n"
        "        fillColor: \"#e03030\", fillOpacity: 0.9, title: p[2]});\n"
        "      marker.info = p[3];\n"
        "      marker.bindTooltip(textOf(p[2]));\n"
        "      marker.on(\"click\", function(e) {\n"
        "        infoWindow.setLatLng(e.target.getLatLng()).setContent(e.target.info)"
        ".openOn(map);\n"
        "      });\n"
        "      marker.addTo(map);\n"
        "      markers.push(marker);\n"
        "    }\n"
        "  }\n"
        "</script>\n</head>\n<body onload=\"initialize()\">\n"
        "<div id=\"map_message\" style=\"display: none\"></div>\n"
        "<div id=\"map_canvas\"></div>\n</body>\n</html>\n")};

QString fileUrl(const QString& path) {
    return path.isEmpty() ? QString() : QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded());
}

} // namespace

QString MapPage::number(double value) {
    return QString::number(value, 'g', 6);
}

QString MapPage::jsString(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\'':
            out += QLatin1String("\\'");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case 0x2028:
            out += QLatin1String("\\u2028");
            break;
        case 0x2029:
            out += QLatin1String("\\u2029");
            break;
        case '<':
            // "</script" would end the script element, "<!--" would change how it is read
            if (text.mid(i + 1, 7).compare(QLatin1String("/script"), Qt::CaseInsensitive) == 0 ||
                text.mid(i + 1, 3) == QLatin1String("!--"))
                out += QLatin1String("\\x3C");
            else
                out += c;
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

QString MapPage::htmlText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&#39;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString MapPage::generate(const MapStations& stations, const Options& options) {
    const bool google = options.provider == Provider::Google;
    const Templates& t = google ? kGoogle : kOffline;
    const MapStations::Viewport& v = stations.viewport();
    const QString minLat = number(v.minLatitude), minLon = number(v.minLongitude);
    const QString maxLat = number(v.maxLatitude), maxLon = number(v.maxLongitude);

    QString script, style, outlines, tiles, icon;
    if (google) {
        script = options.googleScriptBase + QLatin1String("/maps/api/js?sensor=true");
        if (!options.apiKey.isEmpty())
            script += QLatin1String("&key=") +
                      QString::fromLatin1(QUrl::toPercentEncoding(options.apiKey));
        icon = jsString(options.markerIcon);
    } else {
        script = htmlText(fileUrl(options.leafletFolder + QLatin1String("/leaflet.js")));
        style = htmlText(fileUrl(options.leafletFolder + QLatin1String("/leaflet.css")));
        outlines = jsString(fileUrl(options.outlinesFile));
        tiles = jsString(options.tileUrl);
        icon = jsString(fileUrl(options.markerIcon));
    }

    QString page;
    page.reserve(1024 + stations.positions().size() * 400);
    fill(page, t.head,
         {&icon, &minLat, &minLon, &maxLat, &maxLon, &script, &style, &outlines, &tiles});

    QString title, info, index, latitude, longitude;
    for (qsizetype i = 0; i < stations.positions().size(); ++i) {
        const MapStations::Position& position = stations.positions().at(i);
        title.clear();
        info.clear();
        for (const MapStations::Station& station : position.stations) {
            if (!title.isEmpty())
                title += QLatin1String(" / ");
            title += station.name;
            info +=
                QLatin1String("<b>Station: </b> ") + htmlText(station.name) + QLatin1String("<br>");
            for (const MapStations::Entry& e : station.entries)
                info += QLatin1String("Type: ") + htmlText(e.type) +
                        QLatin1String("<br>Frequency: ") + htmlText(e.frequency) +
                        QLatin1String("<br>Reference: ") + htmlText(e.reference) +
                        QLatin1String("<br><br>");
        }
        title = jsString(title);
        info = jsString(info);
        index = QString::number(i);
        latitude = number(position.latitude);
        longitude = number(position.longitude);
        fill(page, t.position, {&latitude, &longitude, &title, &index, &info});
    }

    if (google) {
        page += t.tail;
    } else {
        // the viewport goes into the tail as [[south, west], [north, east]]
        const QString bounds = QLatin1String("[[") + minLat + QLatin1String(", ") + minLon +
                               QLatin1String("], [") + maxLat + QLatin1String(", ") + maxLon +
                               QLatin1String("]]");
        QString tail = t.tail;
        page += tail.replace(QLatin1String("%10"), bounds);
    }
    return page;
}
