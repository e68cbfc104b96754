// The composer's style: validity and the pattern types and filter choices
// each family stands for.
#include "compose/style.h"

namespace {

const int32_t kPatternFamily[9] = {tlFamilyGradients, tlFamilyGradients, tlFamilyCheckers,
                                   tlFamilyClouds,    tlFamilyClouds,    tlFamilyDots,
                                   tlFamilyDots,      tlFamilyLines,     tlFamilyLines};
const int32_t kFilterFamily[14] = {tlFamilyWarps, tlFamilyWarps, tlFamilyWarps, tlFamilyNoise, tlFamilyNoise,
                                   tlFamilySoft,  tlFamilyEdges, tlFamilyEdges, tlFamilySoft,  tlFamilySoft,
                                   tlFamilySoft,  tlFamilyNoise, tlFamilyTiles, tlFamilySoft};

template <int32_t n>
uint32_t allowedRows(const tlComposeStyle &style, const int32_t (&family)[n]) {
    uint32_t rows = 0;
    for (int32_t i = 0; i < n; ++i)
        if (style.allows(family[i])) rows |= 1u << i;
    return rows;
}

}  // namespace

bool tlComposeStyle::isValid() const {
    const uint32_t families = (1u << tlFamilyCount) - 1;
    return complexity >= tlComplexitySimple && complexity <= tlComplexityRich && (excluded & ~families) == 0 &&
           (allows(tlFamilyGradients) || allows(tlFamilyCheckers) || allows(tlFamilyClouds));
}

bool tlComposeStyle::allows(int32_t family) const {
    return family >= 0 && family < tlFamilyCount && (excluded >> family & 1u) == 0;
}

uint32_t tlComposeStyle::patternTypes() const { return allowedRows(*this, kPatternFamily); }

uint32_t tlComposeStyle::filterChoices() const { return allowedRows(*this, kFilterFamily); }
