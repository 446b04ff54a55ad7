#include "platform/win32/form_collection.h"

#include <algorithm>

// After windows.h, which it needs.
#include <commctrl.h>

namespace platform::win32 {

FormCollection::~FormCollection() {
  // The program's forms and hooks usually end before the platform. Closing
  // one window sends messages to others (the loss of activation), so every
  // form is released from them before the first window goes.
  for (auto& [id, entry] : forms_) entry.form->Release();
  forms_.clear();
}

FormId FormCollection::Load(const FormSpec& spec, FormEvents& events, HWND owner, ProgramIcons& programIcons) {
  RemoveUnloaded();
  if (!commonControlsReady_) {
    // The tooltip class comes from the common controls.
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    commonControlsReady_ = InitCommonControlsEx(&classes) != FALSE;
  }
  const FormId id = nextId_++;
  auto form =
      std::make_unique<FormWindow>(spec, events, owner, programIcons, [this, id](int mode) { Unload(id, mode); });
  forms_.emplace(id, Entry{std::move(form)});
  return id;
}

FormWindow* FormCollection::Find(FormId id) {
  const auto entry = forms_.find(id);
  if (entry == forms_.end() || entry->second.form->window() == nullptr) return nullptr;
  return entry->second.form.get();
}

bool FormCollection::IsLoaded(FormId id) {
  const auto entry = forms_.find(id);
  return entry != forms_.end() && entry->second.form->events() != nullptr;
}

void FormCollection::Unload(FormId id, int mode) {
  auto entry = forms_.find(id);
  if (entry == forms_.end() || entry->second.form->events() == nullptr || entry->second.askingToUnload) return;
  entry->second.askingToUnload = true;
  const bool refused = entry->second.form->events()->OnQueryUnload(mode);
  // The answer may have come back after messages ran: look the form up anew.
  entry = forms_.find(id);
  if (entry == forms_.end()) return;
  entry->second.askingToUnload = false;
  FormEvents* const events = entry->second.form->events();
  if (refused || events == nullptr) return;

  entry->second.form->StopEvents();
  const bool wasLast = LoadedCount() == 0;
  EndModalSession(id);
  entry->second.form->Hide();
  // The window is still there for the handler, which takes the icon and the
  // hook off it; a form is not freed before its window is gone.
  events->OnUnload();
  if (FormWindow* form = Find(id)) form->DestroyWindow();
  // OnUnload may have loaded another form.
  if (wasLast && LoadedCount() == 0) PostQuitMessage(0);
  // A modal loop waiting in GetMessage only looks at its form again when a
  // posted message arrives; an unload that came as a sent message (another
  // program pressing the button) would leave it waiting.
  PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
  RemoveUnloaded();
}

void FormCollection::ShowModal(FormId id) {
  FormWindow* form = IsLoaded(id) ? Find(id) : nullptr;
  if (form == nullptr) return;
  modalSessions_.push_back({id, DisableAllBut(id)});
  form->ShowActive();
  MSG message{};
  while (IsLoaded(id)) {
    const BOOL received = GetMessageW(&message, nullptr, 0, 0);
    if (received == 0) {
      // Whoever runs the outer loop must see the request to quit too.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (received == -1) break;
    Dispatch(message);
  }
  EndModalSession(id);
  const auto session = std::find_if(modalSessions_.rbegin(), modalSessions_.rend(),
                                    [id](const ModalSession& s) { return s.form == id; });
  if (session != modalSessions_.rend()) modalSessions_.erase(std::next(session).base());
}

void FormCollection::Dispatch(MSG& message) {
  const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  // IsDialogMessage dispatches whatever it does not use as a key itself.
  if (root != nullptr && IsFormWindow(root) && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int FormCollection::LoadedCount() const {
  return static_cast<int>(std::count_if(forms_.begin(), forms_.end(),
                                        [](const auto& entry) { return entry.second.form->events() != nullptr; }));
}

bool FormCollection::IsFormWindow(HWND window) const {
  return std::any_of(forms_.begin(), forms_.end(),
                     [window](const auto& entry) { return entry.second.form->window() == window; });
}

std::vector<HWND> FormCollection::DisableAllBut(FormId id) {
  std::vector<HWND> disabled;
  for (const auto& [otherId, entry] : forms_) {
    const HWND window = entry.form->window();
    if (otherId == id || window == nullptr || entry.form->events() == nullptr || !IsWindowEnabled(window)) continue;
    EnableWindow(window, FALSE);
    disabled.push_back(window);
  }
  return disabled;
}

void FormCollection::EndModalSession(FormId id) {
  for (ModalSession& session : modalSessions_) {
    if (session.form != id) continue;
    for (const HWND window : session.disabled) {
      if (IsFormWindow(window)) EnableWindow(window, TRUE);
    }
    session.disabled.clear();
  }
}

void FormCollection::RemoveUnloaded() {
  std::erase_if(forms_, [](const auto& entry) {
    const FormWindow& form = *entry.second.form;
    return form.window() == nullptr && form.events() == nullptr && !form.InUse();
  });
}

}  // namespace platform::win32
