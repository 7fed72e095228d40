#pragma once
// The toolkit's own Japanese texts (file and colour dialogs, message box
// buttons, edit menus), so that its dialogs match the all-Japanese window
// whatever the user's locale.

namespace platform {

// Installs the toolkit's Japanese translations into the running application,
// once per application object; later calls do nothing. Returns false when
// the translation file is not installed (the dialogs then stay in English).
bool installToolkitTranslations();

} // namespace platform
