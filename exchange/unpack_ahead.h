// A device that unpacks its source on a thread of its own, a few chunks
// ahead of the reader: inflating a large sheet takes about as long as reading
// its XML, and the two then share the machine's cores.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace vantorel::exchange {

class UnpackAhead : public QIODevice {
public:
    // `source` is read on the helper thread only, until Stop().
    explicit UnpackAhead(QIODevice& source);
    ~UnpackAhead() override;
    UnpackAhead(const UnpackAhead&) = delete;
    UnpackAhead& operator=(const UnpackAhead&) = delete;

    bool isSequential() const override { return true; }
    // Ends the helper thread; the source is the caller's again.
    void Stop();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    void Run();

    QIODevice& source_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QByteArray> chunks_; // unpacked, not yet read
    bool end_ = false;              // the source has nothing more
    bool stop_ = false;
    QByteArray current_;
    qsizetype at_ = 0;
    std::thread worker_; // last: started once everything above is ready
};

} // namespace vantorel::exchange
