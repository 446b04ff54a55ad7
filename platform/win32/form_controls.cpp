#include "platform/win32/form_controls.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/wide_text.h"
#include "platform/win32/window_class.h"

namespace platform::win32 {
namespace {

// An etched line is drawn as two rows of pixels, whatever its given height.
constexpr int LineThickness = 2;

struct ControlClass {
  const wchar_t* name;
  DWORD style;
};

ControlClass ClassFor(const ControlSpec& spec) {
  switch (spec.kind) {
    case ControlKind::Label:
      // Wrapped at the label's width, shown literally: "&" is no mnemonic.
      // A tooltip needs the mouse messages that SS_NOTIFY lets through.
      return {L"STATIC", SS_LEFT | SS_NOPREFIX | (spec.tooltip.empty() ? 0u : SS_NOTIFY)};
    case ControlKind::Image:
      // Drawn by the form; SS_NOTIFY reports clicks and lets tooltips see the mouse.
      return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY};
    // Long captions wrap inside the control instead of being cut off.
    case ControlKind::CheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP};
    case ControlKind::Button:
      return {L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP};
    case ControlKind::Line:
      return {L"STATIC", SS_ETCHEDHORZ};
  }
  return {L"STATIC", 0};
}

}  // namespace

RECT GivenRect(const ControlSpec& spec, const ScreenScale& scale) {
  const int left = scale.ToPixelsX(spec.left), top = scale.ToPixelsY(spec.top);
  const int height = spec.kind == ControlKind::Line ? LineThickness : scale.ToPixelsY(spec.height);
  return {left, top, left + scale.ToPixelsX(spec.width), top + height};
}

HWND CreateControlWindow(HWND form, const ControlSpec& spec, int id, const RECT& place) {
  const ControlClass controlClass = ClassFor(spec);
  const DWORD style = WS_CHILD | controlClass.style | (spec.visible ? WS_VISIBLE : 0u);
  const std::wstring text = spec.kind == ControlKind::Label ? LabelText(spec.caption) : WideText(spec.caption);
  return CreateWindowExW(0, controlClass.name, text.c_str(), style, place.left, place.top, place.right - place.left,
                         place.bottom - place.top, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         ProgramModule(), nullptr);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(std::max(GetWindowTextLengthW(window), 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool TakesFocus(const ControlSpec& spec) {
  return spec.kind == ControlKind::Button || spec.kind == ControlKind::CheckBox;
}

std::wstring LabelText(std::u16string_view caption) {
  const std::wstring text = WideText(caption);
  std::wstring lines;
  lines.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      lines += L"\r\n";
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      lines += c;
    }
  }
  return lines;
}

ControlFonts::ControlFonts(const ScreenScale& scale) : dpiY_(scale.dpiY) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    messageFont_ = metrics.lfMessageFont;
  } else {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof messageFont_, &messageFont_);
  }
  // The forms' places and sizes in twips were made for the classic form font,
  // MS Sans Serif at 8 points (Windows substitutes Microsoft Sans Serif); the
  // larger message font of newer Windows would not fit the labels.
  std::fill(std::begin(messageFont_.lfFaceName), std::end(messageFont_.lfFaceName), L'\0');
  std::copy_n(L"MS Sans Serif", 13, messageFont_.lfFaceName);
  messageFont_.lfHeight = -MulDiv(8, dpiY_, 72);
  messageFont_.lfWidth = 0;
  standard_.reset(CreateFontIndirectW(&messageFont_));
}

HFONT ControlFonts::For(const ControlSpec& spec) {
  const HFONT standard = standard_ ? standard_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (spec.fontName.empty() && spec.fontPoints <= 0) return standard;
  LOGFONTW font = messageFont_;
  if (!spec.fontName.empty()) {
    const std::wstring face = WideText(spec.fontName);
    std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), L'\0');
    std::copy_n(face.begin(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1), font.lfFaceName);
  }
  if (spec.fontPoints > 0) {
    // A negative height asks for the character height, which is what points measure.
    font.lfHeight = -static_cast<LONG>(std::lround(spec.fontPoints * dpiY_ / 72.0));
    font.lfWidth = 0;
  }
  font.lfWeight = FW_NORMAL;
  UniqueFont created(CreateFontIndirectW(&font));
  if (!created) return standard;
  named_.push_back(std::move(created));
  return named_.back().get();
}

}  // namespace platform::win32
