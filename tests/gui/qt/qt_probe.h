// The test probe on Qt: reads the Qt widgets of a page or dialog by their
// "controlId" property.
#pragma once

#include <QWidget>
#include <functional>

#include "tests/gui/probe.h"

namespace tolvane::ui::test {

class QtControlProbe : public ControlProbe {
  public:
    // container gives the widget whose descendants are the controls (it may
    // change, e.g. with the current page).
    explicit QtControlProbe(std::function<QWidget*()> container)
        : container_(std::move(container)) {}

    bool Exists(int controlId) override;
    std::string Text(int controlId) override;
    bool IsChecked(int controlId) override;
    bool IsEnabled(int controlId) override;
    std::string Tooltip(int controlId) override;
    Rect Bounds(int controlId) override;
    bool HasPicture(int controlId) override;
    int BarValue(int controlId) override;
    int ListRowCount(int controlId) override;
    int ListColumnCount(int controlId) override;
    std::string ListHeading(int controlId, int column) override;
    int ListColumnWidth(int controlId, int column) override;
    std::string ListCell(int controlId, int row, int column) override;
    bool Press(int controlId) override;
    void PostClick(int controlId) override;
    void OnPaint(int controlId, std::function<void()> painted) override;

  protected:
    QWidget* Control(int controlId);

  private:
    std::function<QWidget*()> container_;
};

}  // namespace tolvane::ui::test
