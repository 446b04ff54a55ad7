#include <algorithm>
#include <stdexcept>
#include <utility>

#include "fake_platform.h"

namespace fake {

void FakePlatform::DoEvents() {
  // What is pending now, and what those events post in turn.
  while (!events.empty()) {
    auto event = std::move(events.front());
    events.pop_front();
    event();
  }
}

std::intptr_t FakeWindows::Procedure(platform::WindowHandle window) const {
  const auto present = procedures.find(window);
  return present != procedures.end() ? present->second : OriginalProcedure(window);
}

std::intptr_t FakePlatform::Send(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  return CallWindowProc(windows.Procedure(window), window, message, wParam, lParam);
}

std::intptr_t FakePlatform::SetWindowLong(platform::WindowHandle window, int index, std::intptr_t value) {
  if (index != platform::WindowProcIndex) return 0;
  const std::intptr_t previous = windows.Procedure(window);
  windows.procedures[window] = value;
  return previous;
}

std::intptr_t FakePlatform::CallWindowProc(std::intptr_t procedure, platform::WindowHandle window,
                                           std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (const auto hook = windows.hooks.find(procedure); hook != windows.hooks.end()) {
    return hook->second->WindowProc(window, message, wParam, lParam);
  }
  if (procedure != FakeWindows::OriginalProcedure(window)) return 0;
  windows.passedOn.push_back({window, message, wParam, lParam});
  if (message == platform::MessageClose) {
    for (auto& [id, form] : forms.forms) {
      if (form.window == window) forms.CloseBox(id);
    }
  }
  return FakeWindows::OriginalResult(message);
}

std::uint32_t FakePlatform::RegisterWindowMessage(std::string_view name) {
  auto& registered = windows.registeredMessages;
  return registered.emplace(std::string(name), 0xC000 + static_cast<std::uint32_t>(registered.size())).first->second;
}

bool FakePlatform::NotifyIcon(std::uint32_t action, const platform::NotifyIconRecord& record) {
  const auto key = std::make_pair(record.hWnd, record.uID);
  if (action == platform::NotifyAdd) return tray.icons.emplace(key, record).second;
  if (action == platform::NotifyDelete) return tray.icons.erase(key) == 1;
  return false;
}

std::string FakeTray::Tip() const {
  const auto& tip = icons.begin()->second.szTip;
  return std::string(tip.data(), std::find(tip.begin(), tip.end(), '\0'));
}

int FakePlatform::ShowPopupMenu(platform::WindowHandle owner, const std::vector<platform::MenuItem>& items, int flags,
                                int yTwips) {
  menus.showings.push_back({owner, items, flags, yTwips});
  if (menus.choices.empty()) return -1;
  auto choose = std::move(menus.choices.front());
  menus.choices.pop_front();
  return choose();
}

platform::ClipboardText FakePlatform::ReadClipboardText() {
  if (const auto failure = std::exchange(clipboard.nextRead, std::nullopt)) return {*failure, u""};
  return {platform::ClipboardStatus::Ok, clipboard.text.value_or(u"")};
}

platform::ClipboardStatus FakePlatform::ReplaceClipboardText(std::u16string_view value) {
  if (const auto failure = std::exchange(clipboard.nextWrite, std::nullopt)) {
    // A write that fails after clearing leaves the clipboard empty.
    if (*failure == platform::ClipboardStatus::Failed) clipboard.text.reset();
    return *failure;
  }
  clipboard.text = std::u16string(value);
  clipboard.writes.emplace_back(value);
  return platform::ClipboardStatus::Ok;
}

std::vector<std::string> FakeSound::Names() const {
  std::vector<std::string> names;
  for (const std::u16string& path : played) {
    std::u16string name = path.substr(path.find_last_of(u'\\') + 1);
    if (name.ends_with(u".WAV")) name.resize(name.size() - 4);
    names.emplace_back(name.begin(), name.end());
  }
  return names;
}

FakeForms::Control& FakeForms::Form::Find(std::string_view name, int index) {
  for (Control& control : controls) {
    if (control.spec.name == name && control.spec.index == index) return control;
  }
  throw std::out_of_range("no control " + std::string(name) + "(" + std::to_string(index) + ")");
}

std::vector<platform::FormId> FakeForms::LoadedForms() const {
  std::vector<platform::FormId> loaded;
  for (const auto& [id, form] : forms) {
    if (form.loaded) loaded.push_back(id);
  }
  return loaded;
}

void FakeForms::Click(platform::FormId form, std::string_view control, int index) {
  forms.at(form).events->OnClick(control, index);
}

void FakeForms::Tick(platform::FormId form, std::string_view control, int value) {
  forms.at(form).Find(control, -1).value = value;
}

void FakeForms::Close(platform::FormId id, int mode) {
  Form& form = forms.at(id);
  if (!form.loaded || form.events->OnQueryUnload(mode)) return;
  form.loaded = false;
  form.visible = false;
  form.events->OnUnload();
}

platform::FormId FakePlatform::LoadForm(const platform::FormSpec& spec, platform::FormEvents& events) {
  const platform::FormId id = forms.nextId++;
  FakeForms::Form& form = forms.forms[id];
  form.events = &events;
  form.window = 0x100 + 16 * static_cast<platform::WindowHandle>(id);
  form.caption = spec.caption;
  form.loaded = true;
  // A fixed frame of 3 pixels and a title bar of 23 pixels.
  form.bounds = {0, 0, spec.clientWidth + 6 * 15, spec.clientHeight + 29 * 15};
  for (const platform::ControlSpec& control : spec.controls) {
    form.controls.push_back({control, control.caption, control.width, control.visible, 0, u""});
  }
  return id;
}

void FakePlatform::ShowForm(platform::FormId id, bool modal) {
  FakeForms::Form& form = forms.forms.at(id);
  form.visible = true;
  ++form.showings;
  if (!modal) return;
  if (!forms.modalActions.empty()) {
    auto act = std::move(forms.modalActions.front());
    forms.modalActions.pop_front();
    act(id);
  }
  forms.CloseBox(id);
}

void FakePlatform::SetFormCaption(platform::FormId form, std::u16string_view caption) {
  forms.forms.at(form).caption = caption;
  forms.captionHistory.emplace_back(caption);
  if (forms.onCaption) forms.onCaption(caption);
}

void FakePlatform::SetFormSize(platform::FormId form, int widthTwips, int heightTwips) {
  forms.forms.at(form).bounds.width = widthTwips;
  forms.forms.at(form).bounds.height = std::max(heightTwips, 29 * 15);
}

bool FakePlatform::LoadPicture(platform::FormId form, std::string_view control, int index, std::u16string_view path) {
  const auto& unreadable = forms.unreadablePictures;
  if (std::find(unreadable.begin(), unreadable.end(), path) != unreadable.end()) return false;
  forms.forms.at(form).Find(control, index).picture = path;
  return true;
}

}  // namespace fake
