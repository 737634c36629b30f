#include "resources/pictures.h"

namespace tolvane {
namespace {

struct Entry {
    PictureInfo full;
    PictureInfo few;
};

// Indexed by Picture. Sizes are those of the SVG files; the build's picture check keeps the two
// in step.
constexpr Entry kPictures[kPictureCount] = {
    {{":/pictures/create.svg", 209, 158}, {":/pictures/create_16.svg", 240, 165}},
    {{":/pictures/extract.svg", 209, 159}, {":/pictures/extract_16.svg", 224, 165}},
    {{":/pictures/drive_a.svg", 60, 60}, {":/pictures/drive_a_16.svg", 60, 60}},
    {{":/pictures/drive_b.svg", 60, 60}, {":/pictures/drive_b_16.svg", 60, 60}},
    {{":/pictures/harddisk.svg", 60, 60}, {":/pictures/harddisk_16.svg", 60, 60}},
    {{":/pictures/back.svg", 60, 60}, {":/pictures/back_16.svg", 60, 60}},
    {{":/pictures/next.svg", 60, 60}, {":/pictures/next_16.svg", 60, 60}},
    {{":/pictures/go.svg", 60, 60}, {":/pictures/go_16.svg", 60, 60}},
    {{":/pictures/ok.svg", 60, 60}, {":/pictures/ok_16.svg", 60, 60}},
    // The banner, logo and About picture are always shown in full colour.
    {{":/pictures/banner.svg", 62, 193}, {nullptr, 0, 0}},
    {{":/pictures/logo.svg", 69, 35}, {nullptr, 0, 0}},
    {{":/pictures/about.svg", 314, 98}, {nullptr, 0, 0}},
};

const Entry& EntryFor(Picture picture) {
    const int index = static_cast<int>(picture);
    return kPictures[(index >= 0 && index < kPictureCount) ? index : 0];
}

}  // namespace

PictureInfo PictureFor(Picture picture, bool fewColours) {
    const Entry& entry = EntryFor(picture);
    return (fewColours && entry.few.path != nullptr) ? entry.few : entry.full;
}

bool HasFewColourVersion(Picture picture) {
    return EntryFor(picture).few.path != nullptr;
}

}  // namespace tolvane
