#pragma once

namespace tandu {

class ListView;

// Removes every row whose state is exactly "Completed"; touches no file.
void ClearCompleted(ListView& lstDown);

}  // namespace tandu
