// A check box without a window: its state, its tag and its click handler.
// Setting the state from code raises the click handler exactly as a user's
// click would, which the autostart synchronisation relies on.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace controls {

class CheckBox {
 public:
  using ClickHandler = std::function<void(CheckBox&)>;

  static constexpr int Unchecked = 0, Checked = 1;

  int Value() const { return value_; }

  // Any non-zero value checks the box. The click handler runs only when the
  // state really changes, after the new state is in place.
  void SetValue(int value) {
    const int state = value != 0 ? Checked : Unchecked;
    if (state == value_) return;
    value_ = state;
    if (onClick_) onClick_(*this);
  }

  const std::u16string& Tag() const { return tag_; }
  void SetTag(std::u16string_view tag) { tag_ = tag; }

  void SetClickHandler(ClickHandler handler) { onClick_ = std::move(handler); }

 private:
  int value_ = Unchecked;
  std::u16string tag_;
  ClickHandler onClick_;
};

}  // namespace controls
