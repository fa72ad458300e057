#include <iostream>

#include "CliCommands.h"
#include "CliContext.h"
#include "transfer/DownloadList.h"

namespace tandu::cli {

int cmdList(CliContext& context, const Arguments& args) {
    if (!args.empty()) {
        return usageError("list takes no arguments");
    }
    const DownloadList& downloads = context.app().downloads();
    std::string out = "File\tSpeed\tState\tSize\tETA\n";
    for (int row = 0; row < downloads.count(); ++row) {
        const Download& download = downloads.at(row);
        out += download.text() + '\t' + download.row().speed + '\t' + StateText(download.state()) +
               '\t' + download.row().size + '\t' + download.row().eta + '\n';
    }
    std::cout << out << std::flush;
    return context.errorShown() ? kExitError : kExitOk;
}

}  // namespace tandu::cli
