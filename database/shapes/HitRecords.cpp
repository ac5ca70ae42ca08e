#include "shapes/HitRecords.h"

#include <algorithm>
#include <vector>

namespace DQ {
namespace {

struct Hit {
    std::size_t at;    // offset of the record in the buffer
    unsigned names;    // name count
    unsigned minDepth;
    unsigned maxDepth;
};

} // namespace

void compactHits(unsigned* buffer, std::size_t size, int h, bool sortByDepth, unsigned* count,
                 double* depthOut) {
    std::vector<Hit> hits;
    if (buffer && h > 0) {
        hits.reserve(std::min<std::size_t>(std::size_t(h), size / 3));
        std::size_t at = 0;
        for (int i = 0; i < h; ++i) {
            if (size - at < 3) break;
            const unsigned names = buffer[at];
            if (names > size - at - 3) break;
            hits.push_back({at, names, buffer[at + 1], buffer[at + 2]});
            at += 3 + std::size_t(names);
        }
    }

    // One figure reported in several consecutive records keeps only the
    // nearest of them, so it is listed once.
    std::size_t kept = 0;
    for (std::size_t i = 1; i < hits.size(); ++i) {
        const Hit& a = hits[kept];
        const Hit& b = hits[i];
        const bool sameRun = a.names && b.names && buffer[a.at + 3] == buffer[b.at + 3];
        if (!sameRun) {
            kept = i;
            continue;
        }
        // hits[kept] is the run's nearest record so far and still holds
        // the name.
        if (b.maxDepth < a.maxDepth) {
            buffer[a.at + 3] = 0;
            kept = i;
        } else {
            buffer[b.at + 3] = 0;
        }
    }
    if (sortByDepth && hits.size() > 1)
        std::stable_sort(hits.begin(), hits.end(),
                         [](const Hit& a, const Hit& b) { return a.maxDepth < b.maxDepth; });

    // The names are gathered first: they are written over the records.
    std::vector<unsigned> out;
    double depth = 0;
    for (const Hit& hit : hits)
        for (unsigned n = 0; n < hit.names; ++n) {
            unsigned name = buffer[hit.at + 3 + n];
            if (!name) continue;
            if (out.empty()) depth = hit.minDepth / 4294967295.0;
            out.push_back(name);
        }
    std::copy(out.begin(), out.end(), buffer);
    if (count) *count = static_cast<unsigned>(out.size());
    if (depthOut && !out.empty()) *depthOut = depth;
}

} // namespace DQ
