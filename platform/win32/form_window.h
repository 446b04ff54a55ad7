// One loaded form: a top-level window built from a control table in twips,
// with the fonts, tooltips and pictures of its controls, laid out for the DPI
// of the monitor it is on and again whenever that changes. It reports clicks
// to its FormEvents and hands close requests to whoever manages the forms.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "platform/win32/form_controls.h"
#include "platform/win32/handles.h"
#include "platform/win32/program_icons.h"

namespace platform::win32 {

class FormWindow {
 public:
  // Called with UnloadByUser for the close box, Alt+F4 and the system menu,
  // with UnloadBySession when Windows ends the session.
  using CloseRequest = std::function<void(int mode)>;

  // `programIcons` serves a form whose icon is one of the program icon's handles.
  FormWindow(const FormSpec& spec, FormEvents& events, HWND owner, ProgramIcons& programIcons,
             CloseRequest closeRequest);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  HWND window() const { return window_.get(); }
  // The DPI the form is laid out for.
  UINT dpi() const { return static_cast<UINT>(scale_.dpiY); }

  // The receiver of the form's events; none once it is being unloaded.
  FormEvents* events() const { return events_; }
  void StopEvents() { events_ = nullptr; }
  // Ends the program's hold on the form before the program itself is gone:
  // no more events, and the form's own procedure back in place of any hook.
  void Release();

  void DestroyWindow();
  // True while one of the form's messages is being handled further up the
  // call chain: the object must live on until that has returned.
  bool InUse() const { return activeCalls_ > 0; }

  void Show();
  // Shows the form as the active window, for a modal showing.
  void ShowActive();
  void Hide();
  void BringToFront();
  void SetCaption(std::u16string_view caption);
  void SetOuterSize(int widthTwips, int heightTwips);
  void SetPosition(int leftTwips, int topTwips);
  FormBounds Bounds() const;

  FormControl* FindControl(std::string_view name, int index);
  void SetControlCaption(FormControl& control, std::u16string_view caption);
  void SetControlWidth(FormControl& control, int widthTwips);
  void SetControlVisible(FormControl& control, bool visible);
  int ControlValue(const FormControl& control) const;
  bool LoadPicture(FormControl& control, std::u16string_view path);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // The form's icons at the sizes its DPI asks for.
  void SetIcons();
  void CreateControls(const std::vector<ControlSpec>& specs);
  // Lays the form out for `dpi`: fonts, places and sizes of the controls,
  // the texts fitted anew, and the icons. The form takes the place and size
  // Windows suggests for it when it moved to another monitor.
  void ApplyDpi(UINT dpi, const RECT* suggested);
  // Grows every label, button and check box that cannot show its whole text
  // in its size from the table, moves what lies below or beside it along,
  // and grows the form by as much, keeping its centre.
  void FitToTexts();
  void CreateTooltips();
  FormControl* ControlById(int id);
  FormControl* ControlByWindow(HWND window);
  void OnCommand(WPARAM wParam);
  void DrawImage(const DRAWITEMSTRUCT& item);

  UniqueWindow window_;
  UniqueWindow tooltip_;  // owned by the form, so it closes first
  FormEvents* events_;
  CloseRequest closeRequest_;
  ProgramIcons& programIcons_;
  HICON givenIcon_;                 // the table's icon handle, or null
  std::wstring iconResource_;       // the form's own icon resource, used when there is no handle
  IconsForDpi ownIcons_;            // that resource at the form's DPI
  SIZE clientTwips_;                // the client area from the table
  std::optional<SIZE> outerTwips_;  // the outer size the program set in place of the table's
  ScreenScale scale_;               // the form's own DPI
  ControlFonts fonts_;
  std::vector<FormControl> controls_;
  SIZE givenClient_{};         // the client area from the table, in pixels
  SIZE fittedClient_{};        // the client area FitToTexts last asked for
  HWND firstFocus_ = nullptr;  // the focusable control with the lowest tab index
  HWND lastFocus_ = nullptr;   // where the focus was when the form was last active
  int activeCalls_ = 0;
};

}  // namespace platform::win32
