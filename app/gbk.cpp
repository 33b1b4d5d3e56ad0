#include "gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString FromGbk(const std::string& bytes) {
    if (bytes.empty()) return {};
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

std::string ToGbk(const QString& text) {
    if (text.isEmpty()) return {};
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

bool CanStoreAsGbk(const QString& text) {
    if (text.isEmpty()) return true;
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    (void)bytes;
    return !encoder.hasError();
}
