// The archiver's image set, loaded once at start-up: the pictures of the
// buttons, the start page, the banner, the logo and the About page, drawn
// from the SVG resources of tolvane_pictures (resources/pictures.h).
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <array>

#include "ui/framework/backend.h"

namespace tolvane::ui {

// The resource a role is drawn from on a screen of the given colour depth:
// screens with fewer than 16 bits per pixel get the 16-colour drawing where
// the role has one.
QString PictureResource(PictureRole role, int screenDepth);
// The picture's size in pixels (the 16-colour drawings of the start page
// pictures are a little larger).
QSize PictureSize(PictureRole role, int screenDepth);

// An SVG resource rendered at size (device-independent pixels) for a screen
// of the given device pixel ratio; a missing or unreadable resource gives a
// plain grey placeholder of that size and *loaded false.
QPixmap RenderPicture(const QString& resource, QSize size, qreal ratio, bool* loaded);

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
