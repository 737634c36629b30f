// The archiver's image set, loaded once at start-up: the pictures of the
// buttons, the start page, the banner, the logo and the About page.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <array>

namespace tolvane::ui {

enum class PictureRole {
    Create,   // start page "create" button
    Extract,  // start page "extract" button
    DriveA,
    DriveB,
    HardDisk,
    Back,
    Next,
    Go,
    Ok,
    Banner,  // painted in the main window
    Logo,    // painted in the main window
    About,   // the About page's picture
};
inline constexpr int kPictureRoleCount = 12;

// The resource a role is drawn from, for a screen of the given colour depth:
// screens with fewer than 16 bits per pixel get the 16-colour drawing where
// the role has one. Resources live at ":/pictures/<role>.svg" and
// ":/pictures/<role>_16.svg".
QString PictureResource(PictureRole role, int screenDepth);
// The picture's size in pixels (the 16-colour drawings of the start page
// pictures are a little larger).
QSize PictureSize(PictureRole role, int screenDepth);

class Pictures {
  public:
    // Renders every role at its size for the screen's depth and device pixel
    // ratio. A drawing that is missing or unreadable becomes a plain grey
    // placeholder of the same size, so the program always starts.
    Pictures(int screenDepth, qreal devicePixelRatio);

    const QPixmap& Get(PictureRole role) const;
    // Whether the role was drawn from its resource (false: placeholder).
    bool Loaded(PictureRole role) const;

  private:
    std::array<QPixmap, kPictureRoleCount> pixmaps_;
    std::array<bool, kPictureRoleCount> loaded_{};
};

}  // namespace tolvane::ui
