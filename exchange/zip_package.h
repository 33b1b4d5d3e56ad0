// A zip package (an .xlsx) opened through minizip, its parts checked against
// the limits before anything is unpacked: every part's declared size, their
// sum and each part's packing ratio. Unpacking counts the bytes again, so a
// part holding more than its header says never gets further.
#pragma once

#include "records/result.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <map>
#include <memory>

namespace vantorel::exchange {

class ZipPackage {
public:
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // The package at `path`, or the reason (corrupt zip, password, too large).
    static Result<std::unique_ptr<ZipPackage>> Open(const QString& path);

    // Part names compare as the package format says: without case, "\" as "/".
    bool Has(const QString& name) const { return parts_.count(Key(name)) != 0; }
    qint64 DeclaredSize(const QString& name) const;
    // A whole part in memory: for the small parts (workbook, relationships).
    // Fails when the part is missing, damaged or larger than `limit`.
    Result<QByteArray> ReadAll(const QString& name, qint64 limit);
    // A part as a sequential device, unpacked as it is read, for parts too
    // large to hold twice. Only one part can be open at a time. After the
    // reader is done, Failed() says whether the part was damaged.
    class Stream;
    Result<std::unique_ptr<Stream>> OpenPart(const QString& name);

    static QString Key(QString name);

private:
    struct Part {
        std::uint64_t directoryOffset = 0;
        std::uint64_t fileNumber = 0;
        qint64 size = 0;
    };
    explicit ZipPackage(void* zip) : zip_(zip) {}
    bool Select(const QString& name, Part& part);

    void* zip_;
    std::map<QString, Part> parts_;
    bool streaming_ = false;
};

class ZipPackage::Stream : public QIODevice {
public:
    ~Stream() override;
    bool isSequential() const override { return true; }
    bool Failed() const { return failed_; }
    qint64 Unpacked() const { return unpacked_; }
    qint64 Declared() const { return declared_; }
    // Ends the part: false when its checksum or length do not match.
    bool Finish();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    friend class ZipPackage;
    Stream(ZipPackage& package, qint64 declared);
    ZipPackage& package_;
    qint64 declared_;
    qint64 unpacked_ = 0;
    bool failed_ = false;
    bool ended_ = false;
    bool closed_ = false;
};

} // namespace vantorel::exchange
