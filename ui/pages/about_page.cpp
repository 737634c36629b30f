// The About page: the program's picture, its name and version, and OK, which
// brings back the page that was shown before.

#include "tolvane/version.h"
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"
#include "ui/pages/pages.h"

namespace tolvane::ui {

namespace {

class AboutPage : public Page {
  public:
    explicit AboutPage(MainWindow& window) : Page(window, kUntypedPage) {}

    bool HasTooltips() const override { return false; }

    void Initialise() override {
        AddPicture(Rect{53, 40, 314, 98}, PictureRole::kAbout);
        AddLabel(0, {10, 100, 260, 10}, std::string("Tolvane Version ") + TOLVANE_VERSION,
                 TextAlign::TopCenter);
        AddPictureButton(id::kOk, {11, 160, 35, 29}, PictureRole::kOk);
    }

    void Command(int controlId) override {
        if (controlId != id::kOk) return;
        MainWindow& w = window();
        w.GoTo(w.pageType());
    }
};

}  // namespace

std::unique_ptr<Page> MakeAboutPage(MainWindow& window) {
    return std::make_unique<AboutPage>(window);
}

}  // namespace tolvane::ui
