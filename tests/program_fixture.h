// A program on the fake platform, with the help the tests share.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/program.h"
#include "fake_platform.h"
#include "support/RXSAMMLUNG.h"

class ProgramTest : public ::testing::Test {
 protected:
  fake::FakePlatform os;
  app::Program program{os};

  // Starts the program; the start notice is closed with its close box
  // unless a test queued another action for it.
  void Start() { ASSERT_TRUE(program.Start()); }

  platform::WindowHandle Form1Window() { return program.form1().hWnd(); }
  platform::FormId Form1() { return program.form1().id(); }
  std::intptr_t TrayMessage(std::intptr_t mouseMessage) {
    return os.Send(Form1Window(), platform::MessageTrayCallback, 0, mouseMessage);
  }
  void LeftClick() { TrayMessage(platform::LeftButtonDown); }
  void RightClick() { TrayMessage(platform::RightButtonDown); }
  // Opens the tray menu and chooses the entry at that index (-1: none).
  void Choose(int index) {
    os.menus.choices.push_back([index] { return index; });
    RightClick();
  }

  // The captions Form1 had, from the first progress caption on.
  std::vector<std::u16string> ProgressCaptions() const {
    std::vector<std::u16string> progress;
    for (const std::u16string& caption : os.forms.captionHistory) {
      if (caption.starts_with(u"Velumor: ")) progress.push_back(caption.substr(9));
    }
    return progress;
  }

  std::u16string Setting(std::u16string_view key) { return RXSAMMLUNG::GetAppSetting(os, key); }
};
