// The catalogue's entries chosen by what it says of them (kind, family, marks): the lists that the
// parameterised suites run over, so that a new entry is tested without being listed anywhere else.
#pragma once

#include <initializer_list>
#include <vector>

#include "effects/catalogue.h"

namespace glowfield::test {

// The entries for which wanted(row) holds, ascending.
template <typename Wanted> std::vector<int> entriesWhere(Wanted wanted) {
    std::vector<int> entries;
    for (const CatalogueEntry& row : catalogue) {
        if (wanted(row)) {
            entries.push_back(row.index);
        }
    }
    return entries;
}

inline std::vector<int> everyEntry() {
    return entriesWhere([](const CatalogueEntry&) { return true; });
}

// The effects of their own (not routines on the shared state) of these families.
inline std::vector<int> ownEffectsOf(std::initializer_list<Family> families) {
    return entriesWhere([families](const CatalogueEntry& row) {
        for (const Family family : families) {
            if (row.make && row.family == family) {
                return true;
            }
        }
        return false;
    });
}

inline std::vector<int> entriesMarked(unsigned mark) {
    return entriesWhere([mark](const CatalogueEntry& row) { return (row.marks & mark) != 0u; });
}

} // namespace glowfield::test
