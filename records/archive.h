// The serializing archive: the byte encoding shared by every data file.
// Little-endian numbers, length-prefixed strings, no header, no padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace vantorel {

// Where an archive reads from or writes to. The archive never owns or closes it.
class CFile {
public:
    virtual ~CFile() = default;
    // Reads up to n bytes; returns how many were read (0 at the end). Throws FileError.
    virtual std::size_t Read(void* buf, std::size_t n) = 0;
    // Writes all n bytes or throws FileError.
    virtual void Write(const void* buf, std::size_t n) = 0;
    // Total length in bytes when loading; used to refuse lengths past the end.
    virtual std::uint64_t GetLength() const = 0;
};

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A read that cannot be completed: the file ends inside a value, a string
// length runs past the end, or a list count is out of range. `offset` is
// where the offending value starts.
class CArchiveException : public std::runtime_error {
public:
    enum Cause { endOfFile, badCount };
    CArchiveException(Cause cause, std::uint64_t offset, const std::string& what)
        : std::runtime_error(what), cause_(cause), offset_(offset) {}
    Cause cause() const { return cause_; }
    std::uint64_t offset() const { return offset_; }

private:
    Cause cause_;
    std::uint64_t offset_;
};

class CArchive {
public:
    enum Mode { store, load };
    static constexpr std::size_t kBufferSize = 4096;

    CArchive(CFile& file, Mode mode);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return mode_ == store; }
    bool IsLoading() const { return mode_ == load; }

    CArchive& operator<<(std::int32_t v);
    CArchive& operator<<(std::int16_t v);
    CArchive& operator<<(double v);
    // Short texts, nearly every field, take the inline path: one length byte and the bytes.
    CArchive& operator<<(const std::string& v) {
        const std::size_t n = v.size();
        if (n < 0xFF && n < kBufferSize - pos_) {
            buf_[pos_] = static_cast<unsigned char>(n);
            std::memcpy(buf_ + pos_ + 1, v.data(), n);
            pos_ += n + 1;
            return *this;
        }
        return PutText(v);
    }

    CArchive& operator>>(std::int32_t& v);
    CArchive& operator>>(std::int16_t& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(std::string& v);

    // Storing: bytes already in the archive's encoding, as they are.
    void Write(const void* data, std::size_t n) { Put(data, n); }
    // Loading, for a reader that walks the bytes itself: hands over the next
    // `n` bytes, fewer where the file ends first, and returns how many. A
    // read error throws FileError; Position() then tells how far it got.
    std::size_t ReadRest(void* out, std::size_t n);
    // Then, at the end of the load: the bytes from `offset` on were handed
    // over but not used, and count as not read (Position() reports `offset`).
    void UnreadFrom(std::uint64_t offset);

    // Storing: writes out what is left in the buffer. Loading: stops reading.
    void Close();
    // Offset in the file of the next value to read or write.
    std::uint64_t Position() const { return bufStart_ + pos_; }
    // Loading: bytes of the file not read yet.
    std::uint64_t Remaining() const { return length_ > Position() ? length_ - Position() : 0; }
    // Thrown by readers that find a value which no sound file holds.
    [[noreturn]] void Damaged(std::uint64_t offset, const std::string& why) const;

private:
    // The common case, a value that fits in the buffer, stays inline: every
    // field of every record passes through here.
    void Put(const void* data, std::size_t n) {
        if (n <= kBufferSize - pos_) {
            std::memcpy(buf_ + pos_, data, n);
            pos_ += n;
        } else {
            PutSlow(data, n);
        }
    }
    void Take(void* data, std::size_t n, std::uint64_t valueStart) {
        if (n <= end_ - pos_) {
            std::memcpy(data, buf_ + pos_, n);
            pos_ += n;
        } else {
            TakeSlow(data, n, valueStart);
        }
    }
    CArchive& PutText(const std::string& v);
    void PutSlow(const void* data, std::size_t n);
    void TakeSlow(void* data, std::size_t n, std::uint64_t valueStart);
    bool Refill(std::size_t need);
    void Flush();

    CFile& file_;
    Mode mode_;
    bool closed_ = false;
    unsigned char buf_[kBufferSize];
    std::size_t pos_ = 0;        // next byte in buf_
    std::size_t end_ = 0;        // loading: valid bytes in buf_
    std::uint64_t bufStart_ = 0; // file offset of buf_[0]
    std::uint64_t length_ = 0;   // loading: the file's length, for refusing lengths past the end
};

// An in-memory file: for tools, tests and the fuzz target.
class CMemFile : public CFile {
public:
    CMemFile() = default;
    explicit CMemFile(std::string bytes) : data_(std::move(bytes)) {}
    std::size_t Read(void* buf, std::size_t n) override;
    void Write(const void* buf, std::size_t n) override;
    std::uint64_t GetLength() const override { return data_.size(); }
    const std::string& Data() const { return data_; }

private:
    std::string data_;
    std::size_t readPos_ = 0;
};

} // namespace vantorel
