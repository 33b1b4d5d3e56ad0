#include "archive.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vantorel {

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);

namespace {

template <class T> void ToLittle(T v, unsigned char* out) {
    using U = std::make_unsigned_t<T>;
    U u = static_cast<U>(v);
    for (std::size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<unsigned char>(u >> (8 * i));
}

template <class T> T FromLittle(const unsigned char* in) {
    using U = std::make_unsigned_t<T>;
    U u = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) u = static_cast<U>(u | (static_cast<U>(in[i]) << (8 * i)));
    return static_cast<T>(u);
}

} // namespace

CArchive::CArchive(CFile& file, Mode mode) : file_(file), mode_(mode), length_(mode == load ? file.GetLength() : 0) {}

void CArchive::Damaged(std::uint64_t offset, const std::string& why) const {
    throw CArchiveException(CArchiveException::badCount, offset, why);
}

void CArchive::Flush() {
    if (pos_ > 0) {
        file_.Write(buf_, pos_);
        bufStart_ += pos_;
        pos_ = 0;
    }
}

void CArchive::PutSlow(const void* data, std::size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    if (n > kBufferSize - pos_) {
        Flush();
        if (n >= kBufferSize) { // large text goes straight to the file
            file_.Write(p, n);
            bufStart_ += n;
            return;
        }
    }
    std::memcpy(buf_ + pos_, p, n);
    pos_ += n;
}

// Makes at least `need` unread bytes available in the buffer; false at end of file.
bool CArchive::Refill(std::size_t need) {
    if (end_ - pos_ >= need) return true;
    std::size_t left = end_ - pos_;
    std::memmove(buf_, buf_ + pos_, left);
    bufStart_ += pos_;
    pos_ = 0;
    end_ = left;
    while (end_ < need) {
        std::size_t got = file_.Read(buf_ + end_, kBufferSize - end_);
        if (got == 0) return false;
        end_ += got;
    }
    return true;
}

void CArchive::TakeSlow(void* data, std::size_t n, std::uint64_t valueStart) {
    auto* out = static_cast<unsigned char*>(data);
    if (n <= kBufferSize) {
        if (!Refill(n)) throw CArchiveException(CArchiveException::endOfFile, valueStart, "file ends inside a value");
        std::memcpy(out, buf_ + pos_, n);
        pos_ += n;
        return;
    }
    // Long text: drain the buffer, then read the rest directly.
    std::size_t have = end_ - pos_;
    std::memcpy(out, buf_ + pos_, have);
    bufStart_ += end_;
    pos_ = end_ = 0;
    std::size_t done = have;
    while (done < n) {
        std::size_t got = file_.Read(out + done, n - done);
        if (got == 0) throw CArchiveException(CArchiveException::endOfFile, valueStart, "file ends inside a value");
        done += got;
        bufStart_ += got;
    }
}

CArchive& CArchive::operator<<(std::int32_t v) {
    unsigned char b[4];
    ToLittle(v, b);
    Put(b, 4);
    return *this;
}

CArchive& CArchive::operator<<(std::int16_t v) {
    unsigned char b[2];
    ToLittle(v, b);
    Put(b, 2);
    return *this;
}

CArchive& CArchive::operator<<(double v) {
    unsigned char b[8];
    ToLittle(std::bit_cast<std::uint64_t>(v), b);
    Put(b, 8);
    return *this;
}

CArchive& CArchive::PutText(const std::string& v) {
    const std::uint64_t n = v.size();
    unsigned char b[7];
    if (n < 0xFF) {
        b[0] = static_cast<unsigned char>(n);
        Put(b, 1);
    } else if (n < 0xFFFE) {
        b[0] = 0xFF;
        ToLittle(static_cast<std::uint16_t>(n), b + 1);
        Put(b, 3);
    } else {
        if (n > 0xFFFFFFFFu) throw FileError("text longer than 4 GiB cannot be stored");
        b[0] = 0xFF;
        ToLittle(static_cast<std::uint16_t>(0xFFFF), b + 1);
        ToLittle(static_cast<std::uint32_t>(n), b + 3);
        Put(b, 7);
    }
    Put(v.data(), v.size());
    return *this;
}

CArchive& CArchive::operator>>(std::int32_t& v) {
    unsigned char b[4];
    Take(b, 4, Position());
    v = FromLittle<std::int32_t>(b);
    return *this;
}

CArchive& CArchive::operator>>(std::int16_t& v) {
    unsigned char b[2];
    Take(b, 2, Position());
    v = FromLittle<std::int16_t>(b);
    return *this;
}

CArchive& CArchive::operator>>(double& v) {
    unsigned char b[8];
    Take(b, 8, Position());
    v = std::bit_cast<double>(FromLittle<std::uint64_t>(b));
    return *this;
}

CArchive& CArchive::operator>>(std::string& v) {
    const std::uint64_t start = Position();
    unsigned char b[4];
    Take(b, 1, start);
    std::uint64_t n = b[0];
    if (n == 0xFF) {
        Take(b, 2, start);
        n = FromLittle<std::uint16_t>(b);
        if (n == 0xFFFF) {
            Take(b, 4, start);
            n = FromLittle<std::uint32_t>(b);
        }
    }
    // Refuse a length past the end before allocating anything for it.
    const std::uint64_t here = Position();
    if (n > 0 && (here > length_ || n > length_ - here))
        throw CArchiveException(CArchiveException::endOfFile, start, "text length runs past the end of the file");
    if (n <= end_ - pos_) { // all in the buffer: no zero-filled temporary
        // Constructed, not assigned: assign() would round the capacity up.
        std::string text(reinterpret_cast<const char*>(buf_ + pos_), static_cast<std::size_t>(n));
        pos_ += static_cast<std::size_t>(n);
        v.swap(text);
        return *this;
    }
    std::string text(static_cast<std::size_t>(n), '\0');
    Take(text.data(), text.size(), start);
    v.swap(text);
    return *this;
}

std::size_t CArchive::ReadRest(void* out, std::size_t n) {
    auto* o = static_cast<unsigned char*>(out);
    std::size_t done = std::min(n, end_ - pos_);
    std::memcpy(o, buf_ + pos_, done);
    pos_ += done;
    // The buffer is spent: the rest goes straight from the file into `out`.
    bufStart_ += pos_;
    pos_ = end_ = 0;
    while (done < n) {
        const std::size_t got = file_.Read(o + done, n - done);
        if (got == 0) break;
        done += got;
        bufStart_ += got;
    }
    return done;
}

void CArchive::UnreadFrom(std::uint64_t offset) {
    bufStart_ = offset;
    pos_ = end_ = 0;
}

void CArchive::Close() {
    if (closed_) return;
    closed_ = true;
    if (mode_ == store) Flush();
}

std::size_t CMemFile::Read(void* buf, std::size_t n) {
    std::size_t k = std::min(n, data_.size() - readPos_);
    std::memcpy(buf, data_.data() + readPos_, k);
    readPos_ += k;
    return k;
}

void CMemFile::Write(const void* buf, std::size_t n) { data_.append(static_cast<const char*>(buf), n); }

} // namespace vantorel
