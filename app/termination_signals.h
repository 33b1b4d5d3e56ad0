// SIGTERM, SIGINT and SIGHUP turned into a Qt signal on the user-interface
// thread (self-pipe), so that they end the program through its orderly close.
#pragma once

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; only one instance may exist at a time.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void Drain();
    QSocketNotifier* notifier_ = nullptr;
};
