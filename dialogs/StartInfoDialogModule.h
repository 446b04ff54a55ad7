// Showing a notice unless the user chose not to see it again under this
// version of the dialogs.
#pragma once

#include <string_view>

#include "dialogs/dialogs.h"

namespace StartInfoDialogModule {

// Shows the notice modally; `text` is a template (escapes expand,
// placeholders vanish); `imageFile` is a bare name beside the program or
// empty. A notice requested while one is open is not shown.
void ShowNotice(dialogs::Dialogs& dialogs, std::u16string_view text, std::u16string_view noticeId,
                std::u16string_view imageFile);

// Closes an open notice without recording anything (the program is ending).
void CloseNotice(dialogs::Dialogs& dialogs);

}  // namespace StartInfoDialogModule
