// tlComposeStyle: what a user may say about the wallpapers the composer
// makes: how busy they are (the complexity level) and which families of
// patterns and filters they may use.
#pragma once

#include <cstdint>

// The composer's complexity levels.
enum tlComplexity : int32_t {
    tlComplexitySimple = 0,  // one or two pattern layers, no filter
    tlComplexityNormal = 1,  // up to three layers and two filters
    tlComplexityRich = 2,    // up to three layers and three filters
};

// Families of pattern types (stage 1) and filter choices (stage 2).
enum tlStyleFamily : int32_t {
    tlFamilyGradients = 0,  // types 0 gradient, 1 gradient pattern
    tlFamilyCheckers = 1,   // type 2
    tlFamilyClouds = 2,     // types 3 clouds, 4 plasma (with its follow-up)
    tlFamilyDots = 3,       // types 5 dots, 6 random dots
    tlFamilyLines = 4,      // types 7 parallel lines, 8 grid
    tlFamilyWarps = 5,      // choices 0 cylinder, 1 swirl, 2 sine wave
    tlFamilyNoise = 6,      // 3 HSV noise, 4 histogram noise, 11 spread
    tlFamilySoft = 7,       // 5 watercolor, 8 median, 9 minimum, 10 maximum, 13 oil paint
    tlFamilyEdges = 8,      // 6 edges or neon, 7 emboss
    tlFamilyTiles = 9,      // 12 glass tile
    tlFamilyCount = 10,
};

// The default is today's wallpaper: rich, every family on. The style is
// plain data, copied into each generation job.
struct tlComposeStyle {
    int32_t complexity = tlComplexityRich;
    uint32_t excluded = 0;  // bit (1 << family) for each family left out

    // A known level, known families only, and at least one family that can
    // paint the first layer (gradients, checkers, clouds) left on.
    bool isValid() const;
    bool allows(int32_t family) const;
    // Bit t set for each pattern type 0..8 the style allows.
    uint32_t patternTypes() const;
    // Bit c set for each filter choice 0..13 the style allows.
    uint32_t filterChoices() const;
};
