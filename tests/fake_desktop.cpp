#include "fake_desktop.h"

#include <algorithm>
#include <stdexcept>

namespace fake {

void FakeEvents::RunPending() {
  while (!pending.empty()) {
    auto event = std::move(pending.front());
    pending.pop_front();
    event();
  }
}

std::intptr_t FakeWindows::Send(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  const auto present = procedures.find(window);
  const std::intptr_t procedure = present != procedures.end() ? present->second : OriginalProcedure(window);
  return CallWindowProc(procedure, window, message, wParam, lParam);
}

std::intptr_t FakeWindows::HookProcedure(platform::WindowHandle window, platform::WindowHook& hook) {
  const std::intptr_t address = 0x9000 + static_cast<std::intptr_t>(window);
  hooks_[address] = &hook;
  return address;
}

std::intptr_t FakeWindows::SetWindowLong(platform::WindowHandle window, int index, std::intptr_t value) {
  setWindowLongCalls.push_back(std::to_string(window) + "," + std::to_string(index) + "," + std::to_string(value));
  if (index != platform::WindowProcIndex) return 0;
  const auto present = procedures.find(window);
  const std::intptr_t previous = present != procedures.end() ? present->second : OriginalProcedure(window);
  procedures[window] = value;
  return previous;
}

std::intptr_t FakeWindows::CallWindowProc(std::intptr_t procedure, platform::WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam) {
  if (const auto hook = hooks_.find(procedure); hook != hooks_.end()) {
    return hook->second->WindowProc(window, message, wParam, lParam);
  }
  if (procedure != OriginalProcedure(window)) return 0;
  passedOn.push_back({window, message, wParam, lParam});
  if (message == platform::MessageClose) {
    if (FakeForms::Form* form = forms_.ByWindow(window)) {
      for (auto& [id, f] : forms_.forms) {
        if (&f == form) forms_.CloseBox(id);
      }
    }
  }
  return OriginalResult(message);
}

std::uint32_t FakeWindows::RegisterWindowMessage(std::string_view name) {
  const auto [entry, added] =
      registeredMessages.emplace(std::string(name), 0xC000 + static_cast<std::uint32_t>(registeredMessages.size()));
  return entry->second;
}

void FakeWindows::SetTopmost(platform::WindowHandle window, bool onTop) { topmostCalls.emplace_back(window, onTop); }

bool FakeWindows::CursorPosition(int& x, int& y) {
  ++cursorReads;
  x = cursorX;
  y = cursorY;
  return true;
}

bool FakeTray::NotifyIcon(std::uint32_t action, const platform::NotifyIconRecord& record) {
  calls.push_back({action, record});
  const auto key = std::make_pair(record.hWnd, record.uID);
  if (action == platform::NotifyAdd) return icons.emplace(key, record).second;
  if (action == platform::NotifyDelete) return icons.erase(key) == 1;
  return false;
}

std::string FakeTray::Tip(std::size_t call) const {
  const auto& tip = calls.at(call).record.szTip;
  return std::string(tip.data(), std::find(tip.begin(), tip.end(), '\0'));
}

int FakeMenus::ShowPopupMenu(platform::WindowHandle owner, const std::vector<platform::MenuItem>& items, int flags,
                             int yTwips) {
  showings.push_back({owner, items, flags, yTwips});
  if (choices.empty()) return -1;
  auto choose = std::move(choices.front());
  choices.pop_front();
  return choose();
}

platform::ClipboardText FakeClipboard::ReadClipboardText() {
  if (!nextReads.empty()) {
    const platform::ClipboardStatus status = nextReads.front();
    nextReads.pop_front();
    if (status != platform::ClipboardStatus::Ok) return {status, u""};
  }
  return {platform::ClipboardStatus::Ok, text.value_or(u"")};
}

platform::ClipboardStatus FakeClipboard::ReplaceClipboardText(std::u16string_view value) {
  if (!nextWrites.empty()) {
    const platform::ClipboardStatus status = nextWrites.front();
    nextWrites.pop_front();
    if (status == platform::ClipboardStatus::Failed) text.reset();
    if (status != platform::ClipboardStatus::Ok) return status;
  }
  text = std::u16string(value);
  writes.emplace_back(value);
  return platform::ClipboardStatus::Ok;
}

std::vector<std::string> FakeSound::Names() const {
  std::vector<std::string> names;
  for (const std::u16string& path : played) {
    std::u16string name = path.substr(path.find_last_of(u'\\') + 1);
    if (name.size() > 4 && name.substr(name.size() - 4) == u".WAV") name.resize(name.size() - 4);
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

FakeForms::Form* FakeForms::ByWindow(platform::WindowHandle window) {
  for (auto& [id, form] : forms) {
    if (form.window == window) return &form;
  }
  return nullptr;
}

FakeForms::Form* FakeForms::ByCaption(std::u16string_view caption) {
  for (auto& [id, form] : forms) {
    if (form.loaded && form.caption == caption) return &form;
  }
  return nullptr;
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

void FakeForms::CloseBox(platform::FormId form) { Close(form, platform::UnloadByUser); }

platform::FormId FakeForms::LoadForm(const platform::FormSpec& spec, platform::FormEvents& events) {
  const platform::FormId id = nextId_++;
  Form& form = forms[id];
  form = Form{};
  form.spec = spec;
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

void FakeForms::ShowForm(platform::FormId id, bool modal) {
  Form& form = forms.at(id);
  form.visible = true;
  ++form.showings;
  if (!modal) return;
  if (!modalActions.empty()) {
    auto act = std::move(modalActions.front());
    modalActions.pop_front();
    act(id);
  }
  if (forms.at(id).loaded) CloseBox(id);
}

void FakeForms::UnloadForm(platform::FormId form) { Close(form, platform::UnloadByCode); }

void FakeForms::Close(platform::FormId id, int mode) {
  Form& form = forms.at(id);
  if (!form.loaded) return;
  if (form.events->OnQueryUnload(mode)) return;
  form.loaded = false;
  form.visible = false;
  form.events->OnUnload();
}

void FakeForms::SetFormCaption(platform::FormId form, std::u16string_view caption) {
  forms.at(form).caption = caption;
  captionHistory.emplace_back(caption);
  if (onCaption) onCaption(caption);
}

void FakeForms::SetFormSize(platform::FormId form, int widthTwips, int heightTwips) {
  forms.at(form).bounds.width = widthTwips;
  forms.at(form).bounds.height = std::max(heightTwips, 29 * 15);
}

void FakeForms::SetFormPosition(platform::FormId form, int leftTwips, int topTwips) {
  forms.at(form).bounds.left = leftTwips;
  forms.at(form).bounds.top = topTwips;
}

void FakeForms::SetControlCaption(platform::FormId form, std::string_view control, int index,
                                  std::u16string_view caption) {
  forms.at(form).Find(control, index).caption = caption;
}

void FakeForms::SetControlWidth(platform::FormId form, std::string_view control, int index, int widthTwips) {
  forms.at(form).Find(control, index).width = widthTwips;
}

void FakeForms::SetControlVisible(platform::FormId form, std::string_view control, int index, bool visible) {
  forms.at(form).Find(control, index).visible = visible;
}

int FakeForms::ControlValue(platform::FormId form, std::string_view control, int index) {
  return forms.at(form).Find(control, index).value;
}

bool FakeForms::LoadPicture(platform::FormId form, std::string_view control, int index, std::u16string_view path) {
  if (std::find(unreadablePictures.begin(), unreadablePictures.end(), path) != unreadablePictures.end()) return false;
  forms.at(form).Find(control, index).picture = path;
  return true;
}

}  // namespace fake
