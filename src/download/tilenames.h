#pragma once

// Names of the one-degree terrain tiles and of the archives they are published in. A tile is
// known by the integer longitude and latitude of its south-west corner (west and south
// negative).

#include <QString>

namespace TileNames {

enum class Kind { Topographic, Morphological };

// "E012", "W005"
QString longitudeName(int longitude);
// "N45", "S07"
QString latitudeName(int latitude);
// "E012N45.33E" (topographic), "E012N52.63M" (morphological)
QString tileFileName(int longitude, int latitude, Kind kind);
// the tile's place below a data folder: "E012/E012N45.33E"
QString tilePath(int longitude, int latitude, Kind kind);

// the archive suffix of a topographic tile ("north30to89.zip"), empty when no archive holds it
QString topographicSuffix(int longitude, int latitude);
// "E012north30to89.zip"; empty when no archive holds the tile
QString topographicArchive(int longitude, int latitude);
// "W005.zip": one archive per longitude
QString morphologicalArchive(int longitude);
// the archive's path on the web site: "/topogra/TOPO/E012/E012north30to89.zip",
// "/morpho/MORPHO/W005/W005.zip"; empty when there is no archive
QString archiveSitePath(int longitude, int latitude, Kind kind);
QString archiveName(int longitude, int latitude, Kind kind);

// Reads a tile's longitude and latitude back from its file name: characters 2-4 and 6-7,
// negated for "W" first and "S" fifth (either case). False when neither number parses.
bool parseTileFileName(const QString& name, int& longitude, int& latitude);

} // namespace TileNames
