#pragma once

#include <optional>
#include <string>

#include "storage/DefinitionFile.h"
#include "storage/SettingsFile.h"

namespace tandu {

class Download;

// A "Waiting" download starts afresh with its first request; a "Paused" one resumes
// from its progress file.
class StartProcedure {
public:
    explicit StartProcedure(Download& download) : download_(download) {}

    void run();

private:
    void takeBufferSize(const std::optional<SettingsFile::Values>& settings);
    // The definition file; shows the message when it cannot be read.
    std::optional<DefinitionFile> readDefinition();
    void fresh();
    void resume();
    // Lines 1 to 5 into the record; false when the start cannot go on.
    bool takeDefinition(const DefinitionFile& definition);

    Download& download_;
};

}  // namespace tandu
