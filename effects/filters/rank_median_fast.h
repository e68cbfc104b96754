// Median over full square windows of radius 1 or 2 by a selection network
// run on several neighbouring pixels at once (RGB 8-bit and gray 8-bit).
#pragma once

#include <cstdint>

#include "imaging/picture.h"

// A full window is one with every position inside the picture (or wrapped)
// and every pixel counted: then the median is the entry of rank
// ((2r + 1)² − 1) / 2 of a fixed-size set, which a comparator network finds.
// In these formats equal keys mean equal pixels, so its result is the byte
// the general selection gives.
class tlMedianNetwork {
public:
    tlMedianNetwork() = default;
    tlMedianNetwork(const tlMedianNetwork &) = delete;
    tlMedianNetwork &operator=(const tlMedianNetwork &) = delete;
    ~tlMedianNetwork();

    // The rows a thread has loaded: 2r + 1 padded rows of keys (and, for
    // RGB, colours) kept while they stay in the windows, and the sorted
    // columns of the row being written. One per thread that writes rows.
    class Ring {
    public:
        Ring() = default;
        Ring(const Ring &) = delete;
        Ring &operator=(const Ring &) = delete;
        ~Ring();
        // False when memory is short.
        bool allocate(const tlMedianNetwork &network);

    private:
        friend class tlMedianNetwork;
        int32_t *keys = nullptr;      // 2r + 1 padded key rows, a ring
        uint32_t *colours = nullptr;  // the same rows' R, G, B (RGB only)
        int64_t *tags = nullptr;      // window position each ring row holds
        int32_t *sorted = nullptr;    // 2r + 1 rows: rank i of every column
    };

    // False when there is no network for this radius or format, or memory
    // is short (the caller then uses the general path everywhere).
    bool prepare(const tlPicture &source, int64_t radius, bool wrap);
    // True when every window of row y is full along the rows and counts
    // every pixel of its rows.
    bool fullRows(int32_t y) const;
    // Writes the medians of row y, columns x0 .. x1 − 1, whose windows must
    // be full (fullRows(y), and inside the picture across unless wrapped).
    void row(Ring &ring, const tlPicture &source, tlPicture &destination, int32_t y, int32_t x0, int32_t x1) const;

private:
    bool gray = false;
    bool wrap = false;
    int32_t radius = 0;
    int32_t height = 0;
    int32_t length = 0;          // entries per padded row
    uint8_t *counted = nullptr;  // per source row: no pixel of alpha 0

    void loadRow(Ring &ring, const tlPicture &source, int64_t position) const;
    template <int R>
    void rowOf(Ring &ring, const tlPicture &source, tlPicture &destination, int32_t y, int32_t x0, int32_t x1) const;
};
