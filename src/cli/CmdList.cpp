#include <iostream>

#include "CliCommands.h"
#include "CliContext.h"

namespace tandu::cli {

int cmdList(CliContext& context, const Arguments& args) {
    if (!args.empty()) {
        return usageError("list takes no arguments");
    }
    const ListView& lstDown = context.load().lstDown;
    const int columns = static_cast<int>(lstDown.columns().size());
    std::string out;
    for (int c = 0; c < columns; ++c) {
        out += (c ? "\t" : "") + lstDown.columns()[c].header;
    }
    out += '\n';
    for (int row = 0; row < lstDown.rowCount(); ++row) {
        for (int c = 0; c < columns; ++c) {
            if (c) {
                out += '\t';
            }
            out += lstDown.cell(row, c);
        }
        out += '\n';
    }
    std::cout << out << std::flush;
    return context.ui.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
