#pragma once
#include <functional>
#include <string>

// Writing an export so that no half-written file is ever left under its name: the content goes to
// a temporary file beside the target, which is flushed and renamed into place.
enum class ExportStatus {
    Written,
    Exists,       // the target exists and replacing was not allowed
    NothingToWrite,
    Failed,       // the folder could not take the file (errorCode says why)
};

struct ExportResult {
    ExportStatus status = ExportStatus::Failed;
    int errorCode = 0;
};

// `write` fills the temporary file at the path it is given and says whether that worked. Without
// `replace` an existing target is refused, also when it appears while writing.
ExportResult pmExportThroughTemp(const std::string& target, bool replace,
                                 const std::function<bool(const std::string& tempPath)>& write);

std::string pmExportStatusText(const ExportResult& result);
