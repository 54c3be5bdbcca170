#pragma once
#include <QByteArray>
#include <QFile>
#include <QIODevice>

// A request body made of a prefix, a file's bytes and a suffix, read piece by piece as the network
// asks for it, so that a recording of gigabytes never sits in memory. Random access with a known
// size: the network manager reads it in place instead of buffering it, and can start it over.
class FileBodyDevice : public QIODevice {
public:
    FileBodyDevice(QByteArray prefix, const QString& path, QByteArray suffix);

    // Opens the file; false when it cannot be read.
    bool openBody();

    bool isSequential() const override { return false; }
    qint64 size() const override;
    bool seek(qint64 position) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray prefix_;
    QFile file_;
    QByteArray suffix_;
    qint64 offset_ = 0;
};
