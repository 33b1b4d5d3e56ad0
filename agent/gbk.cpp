#include "gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>

namespace {

// Opening the converter costs more than converting a field, and a large book
// converts a few hundred thousand fields while its lists fill: each thread
// keeps one decoder and one encoder. They are stateless, so every call starts
// afresh. ASCII, most numbers and dates, is the same bytes in GBK and needs
// no converter at all.
bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsAscii(const QString& s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
}

QStringDecoder& Decoder() {
    thread_local QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    return decoder;
}

// An encoder's error count cannot be cleared (resetState keeps it with the
// converters Qt takes from ICU), so one that met a character GBK lacks is
// replaced before its next use.
QStringEncoder& Encoder() {
    thread_local std::optional<QStringEncoder> encoder;
    if (!encoder || encoder->hasError()) encoder.emplace("GBK", QStringConverter::Flag::Stateless);
    return *encoder;
}

} // namespace

QString FromGbk(std::string_view bytes) {
    if (bytes.empty()) return {};
    if (IsAscii(bytes)) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    return Decoder().decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

std::string ToGbk(const QString& text) {
    if (text.isEmpty()) return {};
    const QByteArray bytes = IsAscii(text) ? text.toLatin1() : QByteArray(Encoder().encode(text));
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

bool CanStoreAsGbk(const QString& text) {
    if (IsAscii(text)) return true;
    QStringEncoder& encoder = Encoder();
    const QByteArray bytes = encoder.encode(text);
    (void)bytes;
    return !encoder.hasError();
}
