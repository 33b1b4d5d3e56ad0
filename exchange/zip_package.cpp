#include "zip_package.h"

#include "read_limits.h"
#include "read_reasons.h"

#include <QFile>

#include <minizip/unzip.h>

#include <limits>

namespace vantorel::exchange {

namespace {

Failure Fail(const char* reason) { return Failure{reason}; }

} // namespace

ZipPackage::~ZipPackage() { unzClose(zip_); }

QString ZipPackage::Key(QString name) {
    name.replace(u'\\', u'/');
    if (name.startsWith(u'/')) name.remove(0, 1);
    return name.toLower();
}

Result<std::unique_ptr<ZipPackage>> ZipPackage::Open(const QString& path) {
    void* zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip) return Fail(reasons::kCorruptZip);
    std::unique_ptr<ZipPackage> package(new ZipPackage(zip));
    qint64 total = 0;
    int rc = unzGoToFirstFile(zip);
    for (; rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        char name[1024];
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            return Fail(reasons::kCorruptZip);
        if (info.flag & 1) return Fail(reasons::kPassword); // the zip's own encryption
        // Declared sizes first: a part that says it is too large is never unpacked.
        if (info.uncompressed_size > std::uint64_t(kMaxUnpackedBytes)) return Fail(reasons::kUnpackedTooLarge);
        total += qint64(info.uncompressed_size);
        if (total > kMaxUnpackedBytes) return Fail(reasons::kUnpackedTooLarge);
        if (qint64(info.uncompressed_size) > kRatioFloorBytes &&
            info.uncompressed_size > std::uint64_t(kMaxRatio) * info.compressed_size)
            return Fail(reasons::kRatioTooHigh);
        if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) return Fail(reasons::kCorruptZip);
        unz64_file_pos pos{};
        if (unzGetFilePos64(zip, &pos) != UNZ_OK) return Fail(reasons::kCorruptZip);
        const std::size_t length = std::min<std::size_t>(info.size_filename, sizeof name - 1);
        package->parts_[Key(QString::fromUtf8(name, qsizetype(length)))] = {pos.pos_in_zip_directory, pos.num_of_file,
                                                                            qint64(info.uncompressed_size)};
    }
    if (rc != UNZ_END_OF_LIST_OF_FILE) return Fail(reasons::kCorruptZip);
    return package;
}

qint64 ZipPackage::DeclaredSize(const QString& name) const {
    const auto it = parts_.find(Key(name));
    return it == parts_.end() ? -1 : it->second.size;
}

bool ZipPackage::Select(const QString& name, Part& part) {
    const auto it = parts_.find(Key(name));
    if (it == parts_.end() || streaming_) return false;
    part = it->second;
    unz64_file_pos pos{part.directoryOffset, part.fileNumber};
    return unzGoToFilePos64(zip_, &pos) == UNZ_OK && unzOpenCurrentFile(zip_) == UNZ_OK;
}

Result<QByteArray> ZipPackage::ReadAll(const QString& name, qint64 limit) {
    auto stream = OpenPart(name);
    if (!stream) return Failure{stream.Reason()};
    if ((*stream)->Declared() > limit) return Fail(reasons::kUnpackedTooLarge);
    QByteArray data = (*stream)->readAll();
    if (!(*stream)->Finish()) return Fail(reasons::kCorruptZip);
    return data;
}

Result<std::unique_ptr<ZipPackage::Stream>> ZipPackage::OpenPart(const QString& name) {
    Part part;
    if (!Select(name, part)) return Fail(Has(name) ? reasons::kCorruptZip : reasons::kNotWorkbook);
    std::unique_ptr<Stream> s(new Stream(*this, part.size));
    s->open(QIODevice::ReadOnly);
    return s;
}

ZipPackage::Stream::Stream(ZipPackage& package, qint64 declared) : package_(package), declared_(declared) {
    package_.streaming_ = true;
}

ZipPackage::Stream::~Stream() {
    if (!closed_) unzCloseCurrentFile(package_.zip_);
    package_.streaming_ = false;
}

qint64 ZipPackage::Stream::readData(char* data, qint64 maxSize) {
    if (failed_) return -1;
    if (ended_ || maxSize <= 0) return ended_ ? -1 : 0;
    const int got = unzReadCurrentFile(package_.zip_, data, unsigned(std::min<qint64>(maxSize, 1 << 20)));
    if (got < 0) {
        failed_ = true;
        return -1;
    }
    if (got == 0) {
        ended_ = true;
        // Short of what the directory declares: the part was cut.
        if (unpacked_ != declared_) failed_ = true;
        return -1;
    }
    unpacked_ += got;
    // minizip stops at the declared size; counted again in case it did not.
    if (unpacked_ > declared_) {
        failed_ = true;
        return -1;
    }
    return got;
}

bool ZipPackage::Stream::Finish() {
    if (!closed_) {
        // Reads to the end so that the checksum covers the whole part.
        char rest[4096];
        while (!failed_ && !ended_ && readData(rest, sizeof rest) > 0) {}
        closed_ = true;
        if (unzCloseCurrentFile(package_.zip_) != UNZ_OK) failed_ = true;
    }
    return !failed_;
}

} // namespace vantorel::exchange
