#include "app/encode_command.h"

#include <algorithm>
#include <string>

#include "app/Form1.h"
#include "core/common.h"
#include "core/random.h"
#include "dialogs/StartInfoDialogModule.h"
#include "support/RXSAMMLUNG.h"
#include "support/RXSAMMLUNG2DIVFU.h"
#include "support/RXSAMMLUNG_windows.h"
#include "support/information_message.h"

namespace common {
namespace {

constexpr std::u16string_view Title = RXSAMMLUNG::ApplicationTitle;

void Inform(app::Program& program, std::u16string_view text) { RXSAMMLUNG::ShowInformation(program.os, text); }

std::u16string CancellationText() { return u"*** " + std::u16string(Title) + u": Abbruch durch Anwender ***"; }

// Hides the strip again after a run or a failed one.
void PutStripAway(app::Program& program) {
  app::Form1& form1 = program.form1();
  RXSAMMLUNG::SetFormTopmost(program.os, form1.id(), False);
  program.os.HideForm(form1.id());
}

}  // namespace

void RunEncodeCommand(app::Program& program) {
  if (program.flags.EncoderBusy != 0) {
    PlayNamedSound(program, u"err");
    if (program.unloading) return;
    Inform(program, std::u16string(Title) + u" bearbeitet bereits einen Text ... bitte warten.");
    return;
  }
  program.flags.EncoderBusy = True;
  PlayNamedSound(program, u"in");
  if (!program.unloading) EncodeClipboardText(program);
  if (!program.unloading) PlayNamedSound(program, u"out");
  program.flags.EncoderBusy = False;
}

void EncodeClipboardText(app::Program& program) {
  platform::Platform& os = program.os;
  const platform::ClipboardText clip = os.ReadClipboardText();
  if (clip.status != platform::ClipboardStatus::Ok) {
    Inform(program,
           u"Die Zwischenablage wird gerade von einem anderen Programm benutzt. Bitte versuchen Sie es gleich noch "
           u"einmal.");
    return;
  }
  const std::u16string& text = clip.text;
  if (text.empty()) {
    Inform(program,
           u"Die Zwischenablage enthält keinen Text. Daher kann " + std::u16string(Title) + u" auch nichts kodieren.");
    return;
  }

  // A close request that came too late to cancel the last run must not
  // cancel this one.
  program.flags.CancelRequested = False;
  PseudoRandom random(TimeOfDaySeed());
  app::Form1& form1 = program.form1();
  RXSAMMLUNG::CenterOnScreen(os, form1.id());  // where the strip stands
  os.ShowForm(form1.id(), false);
  RXSAMMLUNG::SetFormTopmost(os, form1.id(), True);

  // The progress shows after characters 1, 513, 1025, ...; only there do
  // events run, so the cancel request can only arrive there and is tested
  // right after.
  const long n = static_cast<long>(text.size());
  ScriptBlockBuilder builder(text);
  long i = 0;
  while (i < n) {
    const long next = std::min(n, i == 0 ? 1 : i + 512);
    builder.AddCharacters(text, static_cast<std::size_t>(i), static_cast<std::size_t>(next), random);
    i = next;
    if ((i & 511) == 1) ShowProgress(program, ProgressPercent(i, n));
    if (program.unloading) return;
    if (program.flags.CancelRequested != 0) break;
  }

  std::u16string result;
  if (program.flags.CancelRequested != 0) {
    PlayNamedSound(program, u"err");
    if (program.unloading) return;
    ShowProgress(program, u"Abbruch ...");
    if (program.unloading) return;
    result = CancellationText();
    program.flags.CancelRequested = False;
  } else {
    ShowProgress(program, u"100%");
    if (program.unloading) return;
    if (!builder.Faithful()) {
      PutStripAway(program);
      Inform(program, std::u16string(Title) +
                          u" konnte den Text nicht fehlerfrei kodieren. Die Zwischenablage bleibt unverändert.");
      return;
    }
    const std::string block = std::move(builder).Finish();
    result.assign(block.begin(), block.end());
  }

  if (const auto written = os.ReplaceClipboardText(result); written != platform::ClipboardStatus::Ok) {
    // A clipboard cleared but not written gets the user's text back.
    if (written == platform::ClipboardStatus::Failed) os.ReplaceClipboardText(text);
    PutStripAway(program);
    Inform(program,
           u"Die Zwischenablage konnte nicht beschrieben werden; sie enthält weiterhin Ihren Text. Bitte "
           u"versuchen Sie es gleich noch einmal.");
    return;
  }
  PutStripAway(program);
  StartInfoDialogModule::ShowNotice(program.dialogs, ResultNotice, u"2", u"SID2.jpg");
}

void ShowProgress(app::Program& program, std::u16string_view text) {
  program.os.SetFormCaption(program.form1().id(), std::u16string(Title) + u": " + std::u16string(text));
  program.os.DoEvents();
}

void PlayNamedSound(app::Program& program, std::u16string_view name) {
  // Beside the program, not in the working directory, which is the system
  // folder after an automatic start.
  program.os.PlayWaveFile(RXSAMMLUNG2DIVFU::AppFolder(program.os) + std::u16string(name) + u".WAV");
  program.os.DoEvents();
}

std::u16string ProgressPercent(long i, long n) {
  const float onePercent = static_cast<float>(n) / 100.0f;
  const long percent = static_cast<long>(static_cast<double>(i) / static_cast<double>(onePercent));
  return RXSAMMLUNG2DIVFU::DecimalText(percent) + u"%";
}

}  // namespace common
