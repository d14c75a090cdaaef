#pragma once

#include "tools/artwork/ArtCanvas.h"
#include "tools/typeface/TypefaceRasterizer.h"

namespace artwork {

// The typefaces the artwork is set in: the built-in font's family.
struct Faces {
    typeface::TypefaceRasterizer book;
    typeface::TypefaceRasterizer bold;
};

// Design sizes: the large pictures are drawn at scale 1, the small ones scaled down.
constexpr int kEmblemWidth = 314, kEmblemHeight = 158;
constexpr int kMarkWidth = 288, kMarkHeight = 75;
constexpr int kLogoWidth = 120, kLogoHeight = 60;

// The emblem in the middle of the boot screen: an attitude indicator in its bezel with swept
// wings, over the product name.
void DrawEmblem(ArtCanvas& c, Faces& faces);
// The corner mark: the product name, a rule and the product line.
void DrawMark(ArtCanvas& c, Faces& faces);
// A sample operator's logo with alpha, for the simulator's demo root.
void DrawSampleLogo(ArtCanvas& c, Faces& faces);

}  // namespace artwork
