#include "msborderline.h"

#include "countryoutlines.h"
#include "mserror.h"
#include "msmodel.h"

#include <cmath>
#include <cstring>

namespace MsBorderLine {

namespace {

bool sameCode(const char* code, std::string_view country) {
    if (std::strlen(code) != country.size())
        return false;
    for (size_t i = 0; i < country.size(); ++i) {
        char c = country[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != code[i])
            return false;
    }
    return true;
}

} // namespace

int maximum(const MsInput::Transmitter& tx, std::string_view country, double rxHeight,
            Maximum* result) {
    bool found = false;
    MsModel::PairResult r;
    for (const CountryOutline* o = CountryOutlines::begin(); o != CountryOutlines::end(); ++o) {
        if (!sameCode(o->code, country))
            continue;
        for (size_t i = 0; i < o->pointCount; ++i) {
            const size_t j = (i + 1) % o->pointCount;
            const GeoPoint a{o->lonLat[2 * i], o->lonLat[2 * i + 1]};
            const GeoPoint b{o->lonLat[2 * j], o->lonLat[2 * j + 1]};
            // the points a + (b - a) k / n, k = 0 .. n - 1, at most 1 km apart; b starts the
            // next edge
            const int n =
                std::max(1, int(std::ceil(FsGeometry::distanceKm(a, b) / SampleSpacingKm)));
            for (int k = 0; k < n; ++k) {
                const double t = double(k) / n;
                const GeoPoint p{a.longitude + (b.longitude - a.longitude) * t,
                                 a.latitude + (b.latitude - a.latitude) * t};
                MsModel::transmitterField(tx, p, tx.siteHeight, rxHeight, &r);
                if (!found || r.fieldStrength > result->fieldStrength) {
                    result->point = p;
                    result->distanceKm = r.distanceKm;
                    result->fieldStrength = r.fieldStrength;
                    found = true;
                }
            }
        }
    }
    return found ? MsCalcError::None : MsCalcError::UnknownCountry;
}

std::string countries() {
    std::string text;
    const char* last = nullptr;
    for (const CountryOutline* o = CountryOutlines::begin(); o != CountryOutlines::end(); ++o) {
        if (last && std::strcmp(last, o->code) == 0)
            continue;
        if (last)
            text += ',';
        text += o->code;
        last = o->code;
    }
    return text;
}

} // namespace MsBorderLine
