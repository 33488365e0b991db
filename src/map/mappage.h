#pragma once

// The web page of the station map: one marker per position, its title the names of the
// stations there, a click shows their entries. Two providers share the page's logic and differ
// only in their templates: the Google Maps JavaScript API (when a key is set) and an offline
// map drawn with Leaflet over the country outlines, with an optional tile layer.

#include <QString>

class MapStations;

class MapPage {
public:
    enum class Provider { Google, Offline };
    struct Options {
        Provider provider = Provider::Offline;
        // the marker icon's path, as the page names it
        QString markerIcon;
        // Google: scheme and host of the API script, and the key ("&key=" follows the query)
        QString googleScriptBase = QStringLiteral("https://maps.googleapis.com");
        QString apiKey;
        // offline: the folder holding leaflet.js and leaflet.css, the country outlines (a
        // GeoJSON file) and a tile address such as "https://tile.example/{z}/{x}/{y}.png"
        QString leafletFolder;
        QString outlinesFile;
        QString tileUrl;
    };

    static QString generate(const MapStations& stations, const Options& options);

    // The text as the inside of a JavaScript string in single or double quotes, placed in a
    // script element: backslashes, both quotes, line breaks, U+2028/U+2029 and other control
    // characters escaped, "</script" and "<!--" broken so that the element does not end.
    static QString jsString(const QString& text);
    // the text as HTML character data: & < > " ' as references
    static QString htmlText(const QString& text);
    // a number in general notation with at most 6 significant digits
    static QString number(double value);
};
