#pragma once
#include "library/FileDate.h"

#include <string>

// One entry of the library or the playlist: a recording and its modification date as the scan read
// it. Immutable; a file changed later keeps this date until the next scan.
class AMediaFile {
public:
    static AMediaFile mediaFileWithURLDate(const std::string& url, FileDate fileDateTime) {
        return AMediaFile(url, fileDateTime);
    }

    // The recording's file URL, held as its local path (the only kind of URL a scan makes): the
    // bytes the folder listing gave, joined with '/'.
    const std::string& URL() const { return mURL; }
    FileDate fileDate() const { return mFileDate; }

    bool operator==(const AMediaFile&) const = default;

private:
    AMediaFile(const std::string& url, FileDate date) : mURL(url), mFileDate(date) {}

    std::string mURL;
    FileDate mFileDate;
};
