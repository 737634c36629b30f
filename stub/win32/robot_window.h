// The stub's one window on Windows: the dialog of template 101, its pictures
// drawn with GDI as light text on black, the bars, the status line, Start and
// Quit. It is worked with the mouse only.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

#include "stub/robot.h"

namespace tolvane::robot {

class RobotWindow : public RobotView {
  public:
    RobotWindow();
    ~RobotWindow() override;
    RobotWindow(const RobotWindow&) = delete;
    RobotWindow& operator=(const RobotWindow&) = delete;

    // Creates the dialog from its template; false when that fails.
    bool Create(HINSTANCE instance);
    Robot& robot() { return robot_; }
    HWND window() const { return window_; }

    void Message(const std::string& text, const std::string& caption, Icon icon,
                 Owner owner) override;
    bool AskRetry(const std::string& text, const std::string& caption) override;
    bool AskTargetFolder(std::string* folder) override;
    void SetOverallBar(int percent) override;
    void SetVolumeBar(int percent) override;
    void SetStatusText(const std::string& text) override;
    void Repaint() override;
    void SetStartButton(const std::string& caption, bool enabled) override;

  private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void DrawPicture(const DRAWITEMSTRUCT& item);

    Robot robot_;
    HWND window_ = nullptr;
    HBRUSH black_ = nullptr;
    ULONGLONG lastPaint_ = 0;  // GetTickCount64
    bool painted_ = false;
};

}  // namespace tolvane::robot
