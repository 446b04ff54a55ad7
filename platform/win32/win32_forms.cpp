// Forms: the seam's calls on the program's forms, by their identifiers.
#include "platform/win32/desktop_state.h"
#include "platform/win32/screen_scale.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

FormId Win32Platform::LoadForm(const FormSpec& spec, FormEvents& events) {
  return desktop_->forms.Load(spec, events, desktop_->owner.get(), desktop_->icons);
}

WindowHandle Win32Platform::FormWindow(FormId form) {
  const auto* found = desktop_->forms.Find(form);
  return found != nullptr ? reinterpret_cast<WindowHandle>(found->window()) : 0;
}

void Win32Platform::ShowForm(FormId form, bool modal) {
  if (modal) {
    desktop_->forms.ShowModal(form);
  } else if (auto* found = desktop_->forms.Find(form)) {
    found->Show();
  }
}

void Win32Platform::HideForm(FormId form) {
  if (auto* found = desktop_->forms.Find(form)) found->Hide();
}

void Win32Platform::UnloadForm(FormId form) { desktop_->forms.Unload(form, UnloadByCode); }

void Win32Platform::BringToFront(FormId form) {
  if (auto* found = desktop_->forms.Find(form)) found->BringToFront();
}

void Win32Platform::SetFormCaption(FormId form, std::u16string_view caption) {
  if (auto* found = desktop_->forms.Find(form)) found->SetCaption(caption);
}

void Win32Platform::SetFormSize(FormId form, int widthTwips, int heightTwips) {
  if (auto* found = desktop_->forms.Find(form)) found->SetOuterSize(widthTwips, heightTwips);
}

void Win32Platform::SetFormPosition(FormId form, int leftTwips, int topTwips) {
  if (auto* found = desktop_->forms.Find(form)) found->SetPosition(leftTwips, topTwips);
}

FormBounds Win32Platform::Bounds(FormId form) {
  const auto* found = desktop_->forms.Find(form);
  return found != nullptr ? found->Bounds() : FormBounds{};
}

namespace {

// A control of a loaded form: the form and the control, or nulls.
struct ControlOfForm {
  FormWindow* form = nullptr;
  FormControl* control = nullptr;
  explicit operator bool() const { return control != nullptr; }
};

ControlOfForm Lookup(FormCollection& forms, FormId form, std::string_view control, int index) {
  FormWindow* found = forms.Find(form);
  return {found, found != nullptr ? found->FindControl(control, index) : nullptr};
}

}  // namespace

void Win32Platform::SetControlCaption(FormId form, std::string_view control, int index, std::u16string_view caption) {
  if (const auto c = Lookup(desktop_->forms, form, control, index)) c.form->SetControlCaption(*c.control, caption);
}

void Win32Platform::SetControlWidth(FormId form, std::string_view control, int index, int widthTwips) {
  if (const auto c = Lookup(desktop_->forms, form, control, index)) c.form->SetControlWidth(*c.control, widthTwips);
}

void Win32Platform::SetControlVisible(FormId form, std::string_view control, int index, bool visible) {
  if (const auto c = Lookup(desktop_->forms, form, control, index)) c.form->SetControlVisible(*c.control, visible);
}

int Win32Platform::ControlValue(FormId form, std::string_view control, int index) {
  const auto c = Lookup(desktop_->forms, form, control, index);
  return c ? c.form->ControlValue(*c.control) : 0;
}

bool Win32Platform::LoadPicture(FormId form, std::string_view control, int index, std::u16string_view path) {
  const auto c = Lookup(desktop_->forms, form, control, index);
  return c && c.form->LoadPicture(*c.control, path);
}

ScreenMetrics Win32Platform::Screen() {
  const ScreenScale scale = ScreenScale::Current();
  return {scale.ToTwipsX(GetSystemMetrics(SM_CXSCREEN)), scale.ToTwipsY(GetSystemMetrics(SM_CYSCREEN)),
          scale.TwipsPerPixelX(), scale.TwipsPerPixelY()};
}

}  // namespace platform::win32
