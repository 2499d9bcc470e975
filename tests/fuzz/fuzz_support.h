#pragma once

// What every fuzz target shares: a check that ends the run when an
// invariant breaks (libFuzzer then keeps the input), and one scratch folder for files.

#include <QTemporaryDir>

#include <cstdlib>

namespace tavorin::fuzz {

inline void require(bool invariant) {
    if (!invariant) {
        std::abort();
    }
}

// Removed when the fuzzing process ends.
inline QTemporaryDir& scratchFolder() {
    static QTemporaryDir folder;
    return folder;
}

} // namespace tavorin::fuzz
