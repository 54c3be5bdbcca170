#include "platform/FileBodyDevice.h"

#include <algorithm>
#include <cstring>

FileBodyDevice::FileBodyDevice(QByteArray prefix, const QString& path, QByteArray suffix)
    : prefix_(std::move(prefix)), file_(path), suffix_(std::move(suffix)) {}

bool FileBodyDevice::openBody() {
    // Unbuffered: the network manager keeps its own small buffer; a second one would only copy.
    return file_.open(QIODevice::ReadOnly) && open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 FileBodyDevice::size() const { return prefix_.size() + file_.size() + suffix_.size(); }

bool FileBodyDevice::seek(qint64 position) {
    if (position < 0 || position > size() || !QIODevice::seek(position)) return false;
    offset_ = position;
    return true;
}

qint64 FileBodyDevice::readData(char* data, qint64 maxSize) {
    const qint64 fileEnd = prefix_.size() + file_.size();
    qint64 copied = 0;
    while (copied < maxSize && offset_ < size()) {
        qint64 got = 0;
        if (offset_ < prefix_.size()) {
            got = std::min(maxSize - copied, prefix_.size() - offset_);
            std::memcpy(data + copied, prefix_.constData() + offset_, std::size_t(got));
        } else if (offset_ < fileEnd) {
            if (!file_.seek(offset_ - prefix_.size())) return copied > 0 ? copied : -1;
            got = file_.read(data + copied, std::min(maxSize - copied, fileEnd - offset_));
            // A file that shrank while it is sent cannot give the length announced.
            if (got <= 0) return copied > 0 ? copied : -1;
        } else {
            got = std::min(maxSize - copied, size() - offset_);
            std::memcpy(data + copied, suffix_.constData() + (offset_ - fileEnd), std::size_t(got));
        }
        copied += got;
        offset_ += got;
    }
    return copied;
}
