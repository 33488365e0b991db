#include "coordinationtrigger.h"

#include "countryoutlines.h"
#include "fscalcerror.h"
#include "fsgeometry.h"
#include "hcmrecord.h"
#include "syntaxcheck.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace CoordinationTrigger {

namespace {

constexpr Band kBands[] = {
    {3.0, 80.0, 160.0},
    {10.0, 60.0, 120.0},
    {20.0, 40.0, 80.0},
    {30.0, 25.0, 50.0},
    {std::numeric_limits<double>::infinity(), 15.0, 30.0},
};

} // namespace

const Band& bandFor(double frequencyGHz) {
    for (const Band& b : kBands)
        if (frequencyGHz < b.upToGHz)
            return b;
    return kBands[std::size(kBands) - 1];
}

Result evaluate(std::string_view line) {
    Result r;
    HCMRecord record;
    const int parsed = record.parseLine(line);
    if (parsed != 0 || SyntaxCheck::trim(line).empty()) {
        r.error = FsCalcError::StationUnreadable;
        r.problem = parsed != 0 ? SyntaxCheck::messageText(parsed) : "empty line";
        return r;
    }
    GeoPoint position;
    if (!FsGeometry::readCoordinates(record.getLongitude(), record.getLatitude(), &position)) {
        r.error = FsCalcError::PositionMissing;
        r.problem = "4C co-ordinates missing or unreadable";
        return r;
    }
    const double f = record.frequencyGHz();
    r.frequencyGHz = f > 0 ? f : -1;
    const Band& band = bandFor(r.frequencyGHz > 0 ? r.frequencyGHz : 0);
    r.distanceKm = band.distanceKm;
    r.mainBeamKm = band.mainBeamKm;
    double az = 0;
    r.hasAzimuth = SyntaxCheck::readReal(record.get9A(), &az) && az >= 0 && az <= 360;
    r.azimuthDeg = r.hasAzimuth ? az : 0;
    r.ownCountry = SyntaxCheck::toUpper(record.get4B());

    const char* previous = "";
    for (const CountryOutline* o = CountryOutlines::begin(); o != CountryOutlines::end(); ++o) {
        // rings of one country follow each other
        if (std::strcmp(o->code, previous) == 0)
            continue;
        previous = o->code;
        if (r.ownCountry == o->code)
            continue;
        const CountryOutlines::Distance d =
            CountryOutlines::distance(o->code, position, r.azimuthDeg, MainBeamHalfWidthDeg);
        if (d.nearestKm <= r.distanceKm || (r.hasAzimuth && d.nearestInBeamKm <= r.mainBeamKm))
            r.countries.emplace_back(o->code);
    }
    return r;
}

void fillBuffer(const std::vector<std::string>& codes, char* buffer, int size) {
    if (!buffer || size <= 0)
        return;
    const size_t n = size_t(size);
    size_t pos = 0;
    for (const std::string& code : codes) {
        const size_t need = (pos ? 1 : 0) + code.size();
        if (pos + need > n)
            break;
        if (pos)
            buffer[pos++] = ',';
        std::memcpy(buffer + pos, code.data(), code.size());
        pos += code.size();
    }
    std::memset(buffer + pos, ' ', n - pos);
}

} // namespace CoordinationTrigger
