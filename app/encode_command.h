// The encode command around the encoder: the busy guard, the sounds, the
// progress strip with its cancellation, the clipboard and the result notice.
#pragma once

#include <string>
#include <string_view>

#include "app/program.h"

namespace common {

inline constexpr std::u16string_view ResultNotice =
    u"Der Text in der Zwischenablage wurde kodiert und kann nun wiederum über die Zwischenablage in Ihren "
    u"HTML-Editor eingefügt werden.\\n\\nBenützen Sie hierzu die Tastenkombination Strg-V oder Umsch-Einfg.";

// A left press on the icon or "&Kodieren": one encoding at a time.
void RunEncodeCommand(app::Program& program);
// One run: clipboard text to script block, or to the cancellation text.
void EncodeClipboardText(app::Program& program);
// The strip's caption becomes "Velumor: " and the text; pending events run.
void ShowProgress(app::Program& program, std::u16string_view text);
// Plays "<name>.WAV" from the program's folder, then lets pending events run.
void PlayNamedSound(app::Program& program, std::u16string_view name);

// The progress text after character i of n: the integer part of i divided
// by one percent of n, one percent held in single precision.
std::u16string ProgressPercent(long i, long n);

}  // namespace common
