// The start page (type 0): the two big buttons that begin a split or a
// restore. Showing it clears the state of any earlier operation.
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"
#include "ui/pages/pages.h"

namespace tolvane::ui {

namespace {

class StartPage : public Page {
  public:
    explicit StartPage(MainWindow& window) : Page(window, kStartPage) {}

    void Initialise() override {
        settings().ClearForStartPage();
        set().sourceDir.clear();
        set().Reset();
        AddPictureButton(id::kCreateButton, {105, 10, 145, 90}, PictureRole::kCreate);
        AddPictureButton(id::kExtractButton, {105, 105, 145, 90}, PictureRole::kExtract);
    }

    std::string TooltipText(int controlId) const override {
        switch (controlId) {
            case id::kCreateButton:
                return "Archiv erstellen";
            case id::kExtractButton:
                return "Archiv entpacken";
            default:
                return {};
        }
    }

    void Command(int controlId) override {
        if (controlId != id::kCreateButton && controlId != id::kExtractButton) return;
        MainWindow& w = window();
        w.DestroyPage();
        settings().selfExtracting = 0;
        w.ShowPage(controlId == id::kCreateButton ? kSplitPage1 : kRestorePage1);
    }
};

}  // namespace

std::unique_ptr<Page> MakeStartPage(MainWindow& window) {
    return std::make_unique<StartPage>(window);
}

}  // namespace tolvane::ui
