#include "catalogue/DownloadRows.h"

namespace tandu {

void AddDownloadRow(ListView&, const NumberText&, const std::string&) {}
void ScanDefinitions(ListView&, const NumberText&, UiServices&, const std::string&) {}

}  // namespace tandu
