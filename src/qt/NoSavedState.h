#pragma once

namespace tandu::qt {

// Qt's own dialogs keep their state (last folder, history, column widths) in
// the user's Qt settings file. The program keeps nothing it is not asked to:
// afterwards those settings start empty and are never written.
void keepNoSavedState();

}  // namespace tandu::qt
