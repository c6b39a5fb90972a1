// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gamut.h"

namespace vortalex {

// One sample of the spectral locus: a wavelength and its CIE 1931 x, y.
struct LocusPoint
{
    int wavelengthNm = 0;
    XyPoint xy;
};

// The spectral locus of the CIE 1931 2° standard observer, 380-700 nm in
// steps of 5 nm, blue end first. Joining the last point to the first closes
// it with the line of purples.
const LocusPoint *spectralLocus();
int spectralLocusSize();

} // namespace vortalex
