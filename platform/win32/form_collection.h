// The program's forms: loading, unloading with its question and its event,
// modal showing with a message loop of its own, and the dispatch of messages
// with the dialog keys of the form they belong to.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/desktop.h"
#include "platform/win32/form_window.h"

namespace platform::win32 {

class FormCollection {
 public:
  FormCollection() = default;
  ~FormCollection();
  FormCollection(const FormCollection&) = delete;
  FormCollection& operator=(const FormCollection&) = delete;

  FormId Load(const FormSpec& spec, FormEvents& events, HWND owner, ProgramIcons& programIcons);
  // A form whose window still exists, loaded or being unloaded; null otherwise.
  FormWindow* Find(FormId id);
  bool IsLoaded(FormId id);
  // Asks the form's OnQueryUnload with `mode`; unless it refuses, the form
  // is unloaded and raises OnUnload. The last form unloaded ends the
  // program's message loop.
  void Unload(FormId id, int mode);
  // Disables the other forms and runs messages until the form is unloaded,
  // or until the program is asked to quit.
  void ShowModal(FormId id);
  // Translates and dispatches one message, with the keyboard navigation of
  // dialogs for the forms.
  void Dispatch(MSG& message);

 private:
  struct Entry {
    std::unique_ptr<FormWindow> form;
    bool askingToUnload = false;
  };
  struct ModalSession {
    FormId form;
    std::vector<HWND> disabled;  // the forms this showing disabled
  };

  int LoadedCount() const;
  bool IsFormWindow(HWND window) const;
  std::vector<HWND> DisableAllBut(FormId id);
  // Gives the other forms back their input, before the modal form goes, so
  // that Windows activates one of them instead of another program.
  void EndModalSession(FormId id);
  // Frees the forms that are gone, except those whose messages are still
  // being handled further up the call chain.
  void RemoveUnloaded();

  std::map<FormId, Entry> forms_;
  std::vector<ModalSession> modalSessions_;
  FormId nextId_ = 1;
  bool commonControlsReady_ = false;
};

}  // namespace platform::win32
