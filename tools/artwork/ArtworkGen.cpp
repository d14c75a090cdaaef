// tovrask-artwork: draws the four built-in background pictures and encodes them as Pixmap16 data.
//
//   tovrask-artwork [--typefaces DIR] [--preview DIR [--logo LOGO.png]] [--sample-logo FILE.png]
//                   OUTPUT.cpp
//
// Writes gui/engine/data/BackgroundPictures.cpp. --preview writes DIR/boot-800.png and
// DIR/boot-640.png, the background as the boot manager composes it (with LOGO.png where the
// device logo goes), and DIR/emblem-x3.png to look at single pixels. --sample-logo draws the demo
// operator's logo as an RGBA PNG.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gui/engine/Pixmap16.h"
#include "platform/PngWriter.h"
#include "tools/artwork/Artwork.h"
#include "tools/common/OutputFile.h"
#include "tools/picture/Encoding.h"
#include "tools/picture/PngPicture.h"

namespace {

using artwork::ArtCanvas;

constexpr char kDefaultTypefaces[] = "/usr/share/fonts/truetype/dejavu";

struct Picture {
    const char* name;
    const char* what;
    int width, height;
    int designWidth;
    void (*draw)(ArtCanvas&, artwork::Faces&);
    std::vector<uint16_t> words;
};

int Usage() {
    std::fprintf(stderr,
                 "usage: tovrask-artwork [--typefaces DIR] [--preview DIR [--logo LOGO.png]] "
                 "[--sample-logo FILE.png] OUTPUT.cpp\n");
    return 2;
}

gui::Pixmap16 Decoded(const Picture& p) {
    return gui::Pixmap16(gui::Size{p.width, p.height}, p.words.data(), p.words.size(), true);
}

// The boot screen's background as the main widget builds it: black, the emblem centred a
// little above the middle, the mark in the bottom-right corner, the logo bottom left.
gui::Pixmap16 BootScreen(int32_t w, int32_t h, const Picture& emblem, const Picture& mark,
                         const gui::Image* logo) {
    gui::Pixmap16 screen(gui::Size{w, h});
    screen.Fill(0);
    screen.DrawPixmap(
        gui::Point((w - emblem.width) / 2, static_cast<int32_t>(h * 0.4 - (emblem.height / 2))),
        Decoded(emblem));
    screen.DrawPixmap(gui::Point(w - mark.width - 7, h - mark.height - 7), Decoded(mark));
    if (logo != nullptr)
        screen.DrawImage(gui::Point(20, h - logo->height - 20), *logo);
    return screen;
}

bool WritePreview(const std::string& path, const gui::Pixmap16& p, int zoom) {
    const int32_t w = p.width * zoom, h = p.height * zoom;
    std::vector<uint16_t> big(static_cast<size_t>(w) * h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x)
            big[static_cast<size_t>(y) * w + x] = p.pixels[(y / zoom) * p.width + x / zoom];
    }
    return platform::WriteRgb565Png(path, reinterpret_cast<const uint8_t*>(big.data()), w, h,
                                    w * 2);
}

bool OpenFace(typeface::TypefaceRasterizer& face, const std::string& path) {
    std::string error;
    if (face.Open(path, &error))
        return true;
    std::fprintf(stderr, "tovrask-artwork: %s\n", error.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string typefaces = kDefaultTypefaces, preview, logoPath, samplePath, output;
    for (int i = 1; i < argc; ++i) {
        const bool value = i + 1 < argc;
        if (std::strcmp(argv[i], "--typefaces") == 0 && value) {
            typefaces = argv[++i];
        } else if (std::strcmp(argv[i], "--preview") == 0 && value) {
            preview = argv[++i];
        } else if (std::strcmp(argv[i], "--logo") == 0 && value) {
            logoPath = argv[++i];
        } else if (std::strcmp(argv[i], "--sample-logo") == 0 && value) {
            samplePath = argv[++i];
        } else if (argv[i][0] != '-' && output.empty()) {
            output = argv[i];
        } else {
            return Usage();
        }
    }
    if (output.empty())
        return Usage();

    artwork::Faces faces;
    if (!OpenFace(faces.book, typefaces + "/DejaVuSans.ttf") ||
        !OpenFace(faces.bold, typefaces + "/DejaVuSans-Bold.ttf")) {
        return 1;
    }

    using artwork::kEmblemWidth;
    using artwork::kMarkWidth;
    Picture pictures[] = {
        {"kEmblemLarge",
         "The emblem for screens other than 640 x 480",
         314,
         158,
         kEmblemWidth,
         artwork::DrawEmblem,
         {}},
        {"kMarkLarge",
         "The corner mark for screens other than 640 x 480",
         288,
         75,
         kMarkWidth,
         artwork::DrawMark,
         {}},
        {"kEmblemSmall",
         "The emblem for 640 x 480",
         255,
         128,
         kEmblemWidth,
         artwork::DrawEmblem,
         {}},
        {"kMarkSmall", "The corner mark for 640 x 480", 230, 60, kMarkWidth, artwork::DrawMark, {}},
    };
    std::string definitions;
    for (Picture& p : pictures) {
        ArtCanvas canvas(p.width, p.height, static_cast<double>(p.width) / p.designWidth);
        p.draw(canvas, faces);
        p.words = picture::EncodePixmap(canvas.Rgb565());
        definitions += "\n" + picture::PixmapDefinition(p.name, std::string("// ") + p.what + ".\n",
                                                        p.width, p.height, p.words);
        std::printf("%s: %d x %d, %zu bytes\n", p.name, p.width, p.height, p.words.size() * 2);
    }
    const std::string head =
        "// Generated by tools/artwork (tovrask-artwork) from the description in\n"
        "// tools/artwork/Artwork.cpp, set in " +
        faces.bold.Name() + " and " + faces.book.Name() +
        "; do not edit by hand.\n"
        "// Regenerate: cmake --build BUILD --target regenerate-artwork\n";
    const std::string source = picture::PixmapSourceFile(
        head, "gui/engine/data/BackgroundPictures.h", definitions.substr(1));
    if (!tools::WriteOutputFile(output, source.data(), source.size())) {
        std::fprintf(stderr, "tovrask-artwork: cannot write %s\n", output.c_str());
        return 1;
    }

    if (!samplePath.empty()) {
        ArtCanvas logo(artwork::kLogoWidth, artwork::kLogoHeight, 1);
        artwork::DrawSampleLogo(logo, faces);
        if (!picture::WritePng(samplePath, logo.Argb())) {
            std::fprintf(stderr, "tovrask-artwork: cannot write %s\n", samplePath.c_str());
            return 1;
        }
    }
    if (!preview.empty()) {
        gui::Image logo;
        std::string error;
        if (!logoPath.empty() && !picture::ReadPng(logoPath, &logo, &error)) {
            std::fprintf(stderr, "tovrask-artwork: %s\n", error.c_str());
            return 1;
        }
        const gui::Image* shown = logoPath.empty() ? nullptr : &logo;
        if (!WritePreview(preview + "/boot-800.png",
                          BootScreen(800, 480, pictures[0], pictures[1], shown), 1) ||
            !WritePreview(preview + "/boot-640.png",
                          BootScreen(640, 480, pictures[2], pictures[3], shown), 1) ||
            !WritePreview(preview + "/emblem-x3.png", Decoded(pictures[0]), 3)) {
            std::fprintf(stderr, "tovrask-artwork: cannot write the previews in %s\n",
                         preview.c_str());
            return 1;
        }
    }
    return 0;
}
