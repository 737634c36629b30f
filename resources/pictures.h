// The pictures of the archiver `tolvane`, embedded as Qt resources by the library
// tolvane_pictures (see resources/CMakeLists.txt). Linking that library is all a program needs:
// the resources register themselves at start-up, no Q_INIT_RESOURCE call is required.
#pragma once

namespace tolvane {

// The roles of the image set. Every role has a full-colour picture; the button and start page
// roles also have a 16-colour one for screens with fewer than 16 bits per pixel.
enum class Picture {
    kCreate,    // start page: "create archive" button
    kExtract,   // start page: "extract archive" button
    kDriveA,    // floppy drive A
    kDriveB,    // floppy drive B
    kHardDisk,  // hard disk
    kBack,      // arrow pointing left
    kNext,      // arrow pointing right
    kGo,        // the word GO!, starts an operation
    kOk,        // the word OK
    kBanner,    // vertical banner painted in the main window at (10, 10)
    kLogo,      // small logo painted in the lower left of the main window
    kAbout,     // picture of the About page
};
inline constexpr int kPictureCount = 12;

struct PictureInfo {
    const char* path;  // resource path, e.g. ":/pictures/create.svg"
    int width;         // size in pixels the picture is drawn for (its SVG width and height)
    int height;
};

// The picture of `picture`; with `fewColours` its 16-colour version where there is one, else the
// full-colour picture. An out-of-range value yields the create picture.
PictureInfo PictureFor(Picture picture, bool fewColours = false);

// True when `picture` has a separate 16-colour version.
bool HasFewColourVersion(Picture picture);

// The program icon (square SVG) and its pre-rendered sizes ":/icons/tolvane-<N>.png".
inline constexpr const char* kIconPath = ":/icons/tolvane.svg";
inline constexpr int kIconPngSizes[] = {16, 32, 48, 64, 128, 256};

// The help document, installed beside the programs and under <datadir>/tolvane/.
inline constexpr const char* kHelpFileName = "hilfe.htm";

}  // namespace tolvane
