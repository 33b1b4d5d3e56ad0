#include "csv_reader.h"

#include "read_limits.h"
#include "read_reasons.h"
#include "sheet_table_builder.h"

#include <QFile>
#include <QStringDecoder>

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>

#include <array>
#include <map>
#include <memory>

namespace vantorel::exchange::csv {

namespace {

Failure Fail(const char* reason) { return Failure{reason}; }

// The detector sees this much of the file: enough to be sure, cheap to look at.
constexpr int kDetectBytes = 1 << 20;
// Below this the detector is guessing.
constexpr int32_t kMinConfidence = 10;
// Records looked at to find the separator.
constexpr int kSampleRecords = 64;
constexpr int kProgressEvery = 4096;

struct CloseDetector {
    void operator()(UCharsetDetector* d) const { ucsdet_close(d); }
};
struct CloseConverter {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// GB18030 (a superset of GBK) to UTF-16, stopping at the first byte sequence
// it does not define.
bool DecodeGb18030(const QByteArray& bytes, QString& out) {
    UErrorCode ec = U_ZERO_ERROR;
    std::unique_ptr<UConverter, CloseConverter> c(ucnv_open("GB18030", &ec));
    if (U_FAILURE(ec)) return false;
    ucnv_setToUCallBack(c.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &ec);
    if (U_FAILURE(ec)) return false;
    // A byte or more gives at most one UTF-16 unit.
    out.resize(bytes.size());
    UChar* target = reinterpret_cast<UChar*>(out.data());
    const char* source = bytes.constData();
    ucnv_toUnicode(c.get(), &target, target + out.size(), &source, source + bytes.size(), nullptr, true, &ec);
    if (U_FAILURE(ec)) return false;
    out.truncate(target - reinterpret_cast<UChar*>(out.data()));
    // Chinese text takes half the room its bytes did: given back, as the table keeps this text.
    if (out.capacity() > out.size() + out.size() / 4) out.squeeze();
    return true;
}

// Whether the detector thinks GB18030 at least as likely as anything else.
// Short Chinese texts score low for every multi-byte encoding alike; Western
// single-byte text (Latin-1) scores higher as itself. UTF-16 without a mark
// is left out: its NULs refuse it anyway.
bool DetectedAsGb18030(const QByteArray& bytes) {
    UErrorCode ec = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, CloseDetector> det(ucsdet_open(&ec));
    if (U_FAILURE(ec)) return false;
    ucsdet_setText(det.get(), bytes.constData(), int32_t(std::min<qsizetype>(bytes.size(), kDetectBytes)), &ec);
    int32_t found = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(det.get(), &found, &ec);
    if (U_FAILURE(ec)) return false;
    int32_t gb = -1, others = 0;
    for (int32_t i = 0; i < found; ++i) {
        UErrorCode e = U_ZERO_ERROR;
        const char* name = ucsdet_getName(matches[i], &e);
        const int32_t confidence = ucsdet_getConfidence(matches[i], &e);
        if (U_FAILURE(e) || !name) continue;
        if (qstrcmp(name, "GB18030") == 0)
            gb = std::max(gb, confidence);
        else if (qstrncmp(name, "UTF-16", 6) != 0)
            others = std::max(others, confidence);
    }
    return gb >= kMinConfidence && gb >= others;
}

// Whether the first bytes are already no UTF-8. A GBK file shows it in its
// first line, and decoding all of it as UTF-8 only to throw that away took
// as long as decoding it as GB18030. A sequence cut at the end of the
// sample is no error: the decoder keeps it, as for the next bytes.
bool StartsAsNoUtf8(QByteArrayView bytes) {
    constexpr qsizetype kSample = 64 * 1024;
    QStringDecoder probe(QStringDecoder::Utf8);
    (void)probe.decode(bytes.first(std::min(bytes.size(), kSample)));
    return probe.hasError();
}

QString Utf16(const QByteArray& bytes, qsizetype from, bool bigEndian) {
    const qsizetype units = (bytes.size() - from) / 2;
    QString s(units, Qt::Uninitialized);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + from);
    char16_t* out = reinterpret_cast<char16_t*>(s.data());
    for (qsizetype i = 0; i < units; ++i)
        out[i] = bigEndian ? char16_t(p[2 * i] << 8 | p[2 * i + 1]) : char16_t(p[2 * i + 1] << 8 | p[2 * i]);
    return s;
}

// Splits records as the parse does; calls `field(record, column, begin, end, quoted)`
// and `record(number)` at each record's end. Returns false when `stop` says so.
template <class Field, class Record> void Scan(QStringView text, QChar sep, Field&& field, Record&& record) {
    const QChar* p = text.data();
    const QChar* end = p + text.size();
    std::uint32_t number = 1;
    while (p < end) {
        std::uint32_t column = 0;
        for (;;) {
            if (p < end && *p == u'"') {
                const QChar* begin = ++p;
                bool doubled = false;
                for (;;) {
                    while (p < end && *p != u'"') ++p;
                    if (p + 1 < end && p[1] == u'"') {
                        doubled = true;
                        p += 2;
                        continue;
                    }
                    break;
                }
                const QChar* close = p;
                if (p < end) ++p; // the closing quote; a file that ends inside one keeps what it has
                // Text between the closing quote and the separator is kept, as spreadsheets do.
                const QChar* tail = p;
                while (p < end && *p != sep && *p != u'\n' && *p != u'\r') ++p;
                if (!field(number, column, begin, close, doubled, tail, p)) return;
            } else {
                const QChar* begin = p;
                while (p < end && *p != sep && *p != u'\n' && *p != u'\r') ++p;
                if (!field(number, column, begin, p, false, p, p)) return;
            }
            ++column;
            if (p < end && *p == sep) {
                ++p;
                continue;
            }
            break;
        }
        if (p < end && *p == u'\r') ++p;
        if (p < end && *p == u'\n') ++p;
        if (!record(number, p - text.data())) return;
        ++number;
    }
}

} // namespace

Result<QString> Decode(const QByteArray& bytes, QString* encoding) {
    QString text, name;
    auto starts = [&bytes](const char* bom, int n) {
        return bytes.size() >= n && memcmp(bytes.constData(), bom, n) == 0;
    };
    if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
        const bool big = bytes[0] == '\xFE';
        if (bytes.size() % 2) return Fail(reasons::kUnknownEncoding);
        text = Utf16(bytes, 2, big);
        name = big ? QStringLiteral("UTF-16BE") : QStringLiteral("UTF-16LE");
    } else {
        const qsizetype from = starts("\xEF\xBB\xBF", 3) ? 3 : 0;
        const QByteArrayView rest(bytes.constData() + from, bytes.size() - from);
        bool utf8Error = StartsAsNoUtf8(rest);
        if (!utf8Error) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            text = utf8.decode(rest);
            utf8Error = utf8.hasError();
        }
        name = QStringLiteral("UTF-8");
        if (utf8Error) {
            // Only a file without a UTF-8 mark can be something else.
            if (from || !DetectedAsGb18030(bytes) || !DecodeGb18030(bytes, text))
                return Fail(reasons::kUnknownEncoding);
            name = QStringLiteral("GB18030");
        }
    }
    // A NUL is no text of any table: the file is binary, or UTF-16 without its mark.
    if (text.contains(QChar(u'\0'))) return Fail(reasons::kUnknownEncoding);
    if (encoding) *encoding = name;
    return text;
}

QChar DetectSeparator(QStringView text) {
    QChar best = u',';
    int bestScore = 0;
    for (const QChar sep : {QChar(u','), QChar(u'\t'), QChar(u';')}) {
        std::map<std::uint32_t, int> counts; // fields per record -> records
        std::uint32_t fields = 0;
        int records = 0;
        Scan(
            text, sep, [&](std::uint32_t, std::uint32_t column, auto...) { return fields = column + 1, true; },
            [&](std::uint32_t, qsizetype) {
                ++counts[fields];
                fields = 0;
                return ++records < kSampleRecords;
            });
        int score = 0;
        for (const auto& [n, times] : counts)
            if (n > 1 && times > score) score = times;
        if (score > bestScore) {
            bestScore = score;
            best = sep;
        }
    }
    return best;
}

Result<SheetTable> Parse(QString text, QChar separator, const Progress& progress) {
    SheetTableBuilder table;
    const qsizetype size = text.size();
    table.AdoptPool(std::move(text));
    const QChar* base = table.Pool().data();
    const char* why = nullptr;
    std::uint32_t started = 0;
    QString extra;
    Scan(
        table.Pool(), separator,
        [&](std::uint32_t number, std::uint32_t column, const QChar* begin, const QChar* end, bool doubled,
            const QChar* tail, const QChar* tailEnd) {
            if (begin == end && tail == tailEnd) return true;
            if (column >= kMaxColumns) return why = reasons::kTooManyColumns, false;
            if (number > kMaxRows) return why = reasons::kTooManyRows, false;
            if (started != number) {
                table.StartRow(number);
                started = number;
            }
            if (!doubled && tail == tailEnd) {
                // Straight from the decoded text: no copy.
                table.Text(column, SheetTableBuilder::TextRef{std::uint32_t(begin - base), std::uint32_t(end - begin)});
                return true;
            }
            // Unquoted into a text of its own, joined to the pool at the end: the
            // pool must not move while its text is being scanned.
            const std::size_t at = std::size_t(size) + std::size_t(extra.size());
            for (const QChar* q = begin; q < end; ++q) {
                extra += *q;
                if (*q == u'"' && q + 1 < end && q[1] == u'"') ++q;
            }
            extra += QStringView(tail, tailEnd);
            if (at + std::size_t(extra.size()) > UINT32_MAX) return why = reasons::kFileTooLarge, false;
            table.Text(column,
                       SheetTableBuilder::TextRef{std::uint32_t(at),
                                                  std::uint32_t(std::size_t(size) + std::size_t(extra.size()) - at)});
            return true;
        },
        [&](std::uint32_t number, qsizetype at) {
            if (number % kProgressEvery == 0 && progress && !progress(size ? double(at) / double(size) : 1.0))
                return why = reasons::kCancelled, false;
            return true;
        });
    if (why) return Fail(why);
    SheetTableBuilder::TextRef joined;
    if (!table.AddText(extra, joined) || joined.offset != std::uint32_t(size)) return Fail(reasons::kFileTooLarge);
    extra = QString();
    SheetTable out;
    std::string reason;
    if (!table.Finish(out, reason)) return Failure{reason};
    return out;
}

Result<Layout> Inspect(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return Fail(reasons::kCannotOpen);
    if (f.size() > kMaxFileBytes) return Fail(reasons::kFileTooLarge);
    QString name;
    const auto text = Decode(f.readAll(), &name);
    if (!text) return Failure{text.Reason()};
    return Layout{name, DetectSeparator(*text)};
}

Result<SheetTable> ReadFile(const QString& path, const Progress& progress) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return Fail(reasons::kCannotOpen);
    if (f.size() > kMaxFileBytes) return Fail(reasons::kFileTooLarge);
    auto text = Decode(f.readAll());
    f.close();
    if (!text) return Failure{text.Reason()};
    const QChar sep = DetectSeparator(*text);
    return Parse(std::move(*text), sep, progress);
}

} // namespace vantorel::exchange::csv
