#include "unpack_ahead.h"

#include <cstring>

namespace vantorel::exchange {

namespace {

constexpr qsizetype kChunk = 256 << 10;
constexpr std::size_t kAhead = 8; // chunks unpacked before the reader needs them: 2 MiB

} // namespace

UnpackAhead::UnpackAhead(QIODevice& source) : source_(source) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    worker_ = std::thread([this] { Run(); });
}

UnpackAhead::~UnpackAhead() { Stop(); }

void UnpackAhead::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void UnpackAhead::Run() {
    for (;;) {
        QByteArray chunk(kChunk, Qt::Uninitialized);
        const qint64 got = source_.read(chunk.data(), kChunk);
        std::unique_lock lock(mutex_);
        if (got <= 0) {
            end_ = true;
            changed_.notify_all();
            return;
        }
        chunk.truncate(qsizetype(got));
        changed_.wait(lock, [this] { return stop_ || chunks_.size() < kAhead; });
        if (stop_) return;
        chunks_.push_back(std::move(chunk));
        changed_.notify_all();
    }
}

qint64 UnpackAhead::readData(char* data, qint64 maxSize) {
    qint64 copied = 0;
    while (copied < maxSize) {
        if (at_ == current_.size()) {
            std::unique_lock lock(mutex_);
            // What is there already is given at once; a reader waits only when it has nothing.
            if (chunks_.empty() && copied > 0) break;
            changed_.wait(lock, [this] { return !chunks_.empty() || end_ || stop_; });
            if (chunks_.empty()) break;
            current_ = std::move(chunks_.front());
            chunks_.pop_front();
            at_ = 0;
            changed_.notify_all();
        }
        const qint64 n = std::min<qint64>(maxSize - copied, current_.size() - at_);
        std::memcpy(data + copied, current_.constData() + at_, std::size_t(n));
        at_ += qsizetype(n);
        copied += n;
    }
    return copied > 0 ? copied : -1;
}

} // namespace vantorel::exchange
