#include "pinyin.h"

#include "gbk.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <unicode/translit.h>
#include <unicode/uscript.h>

#include <algorithm>
#include <future>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace {

icu::UnicodeString ToIcu(const QString& s) {
    return icu::UnicodeString(reinterpret_cast<const UChar*>(s.utf16()), int32_t(s.size()));
}

QString FromIcu(const icu::UnicodeString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

bool IsHan(char32_t c) {
    UErrorCode ec = U_ZERO_ERROR;
    return uscript_getScript(UChar32(c), &ec) == USCRIPT_HAN && U_SUCCESS(ec);
}

// ü with or without its tone mark, either case.
bool IsUUmlaut(QChar c) { return QStringView(u"üÜǖǕǘǗǚǙǜǛ").contains(c); }

// Collects the rule text of every simple transliterator inside a compound one.
void CollectRules(const icu::Transliterator& t, QString& out) {
    const int32_t n = t.countElements();
    if (n == 0) {
        icu::UnicodeString rules;
        t.toRules(rules, false);
        out += FromIcu(rules);
        return;
    }
    for (int32_t i = 0; i < n; ++i) {
        UErrorCode ec = U_ZERO_ERROR;
        const icu::Transliterator& e = t.getElement(i, ec);
        if (U_SUCCESS(ec) && &e != &t) CollectRules(e, out);
    }
}

} // namespace

struct PinyinIndex::Icu {
    std::unique_ptr<icu::Transliterator> han;   // Han-Latin/Names: pinyin with tone marks
    std::unique_ptr<icu::Transliterator> ascii; // Latin-ASCII: the marks taken off
    std::string yiLetters;                      // "yi": 一 is put before a character to read it inside a name
    // Characters that ICU reads by the one after them (长孙 zhangsun, 万俟
    // moqi): the pairs as GBK bytes.
    std::vector<std::string> pairs;
    // Characters read otherwise as a surname (单 shan, 曾 zeng), by GBK code.
    std::unordered_set<unsigned> surnames;
    QStringDecoder gbk{"GBK", QStringConverter::Flag::Stateless};

    QString Run(icu::Transliterator& t, const QString& s) {
        icu::UnicodeString u = ToIcu(s);
        t.transliterate(u);
        return FromIcu(u);
    }
};

std::unique_ptr<PinyinIndex::Icu> PinyinIndex::MakeIcu() {
    auto icu = std::make_unique<Icu>();
    UErrorCode ec = U_ZERO_ERROR;
    icu->han.reset(icu::Transliterator::createInstance("Han-Latin/Names", UTRANS_FORWARD, ec));
    if (U_FAILURE(ec)) icu->han.reset();
    ec = U_ZERO_ERROR;
    icu->ascii.reset(icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, ec));
    if (U_FAILURE(ec)) icu->ascii.reset();
    if (!icu->han || !icu->ascii) { // without ICU's data only Latin names have pinyin
        icu->han.reset();
        return icu;
    }
    // Rules such as "{长}' '?孙 > zhǎng;": the reading depends on the next character.
    QString rules;
    CollectRules(*icu->han, rules);
    static const QRegularExpression pair(QStringLiteral("\\{(.)\\}' '\\?(.)\\s*>"));
    for (auto it = pair.globalMatch(rules); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString pairText = m.captured(1) + m.captured(2);
        if (CanStoreAsGbk(pairText)) icu->pairs.push_back(ToGbk(pairText));
    }
    // Rules such as "﷑{单} > shàn;": a reading as a surname, at the start of
    // a name only. Every other character reads alike wherever it stands.
    static const QRegularExpression surname(QStringLiteral("\\x{FDD1}\\{(.)\\}"));
    for (auto it = surname.globalMatch(rules); it.hasNext();) {
        const std::string gbk = ToGbk(it.next().captured(1));
        if (gbk.size() == 2)
            icu->surnames.insert(unsigned(static_cast<unsigned char>(gbk[0])) << 8 |
                                 static_cast<unsigned char>(gbk[1]));
    }
    return icu;
}

// ICU's transliterators take some 150 ms to open: Prepare() opens them on a
// thread of their own, and the next index made takes them from there.
std::future<std::unique_ptr<PinyinIndex::Icu>>& PinyinIndex::Prepared() {
    static std::future<std::unique_ptr<Icu>> prepared;
    return prepared;
}

namespace {
std::mutex preparedMutex;
}

void PinyinIndex::Prepare() {
    const std::lock_guard lock(preparedMutex);
    if (!Prepared().valid()) Prepared() = std::async(std::launch::async, &PinyinIndex::MakeIcu);
}

PinyinIndex::PinyinIndex() : startSlot_(1 << 16, -1), innerSlot_(1 << 16, -1), han_(1 << 16, -1) {
    {
        const std::lock_guard lock(preparedMutex);
        if (Prepared().valid()) icu_ = Prepared().get();
    }
    if (!icu_) icu_ = MakeIcu();
    if (icu_->han) icu_->yiLetters = Transliterated(QStringLiteral("一")).full;
}

PinyinIndex::~PinyinIndex() = default;

std::string PinyinIndex::LatinQuery(const QString& text) {
    std::string q;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u' ') continue;
        if (u >= u'A' && u <= u'Z')
            q.push_back(char(u - u'A' + 'a'));
        else if (u >= u'a' && u <= u'z')
            q.push_back(char(u));
        else
            return {};
    }
    return q;
}

bool PinyinIndex::Matches(const std::string& gbkName, const std::string& latinQuery) {
    if (latinQuery.empty()) return false;
    const Entry& e = Of(gbkName);
    return e.full.find(latinQuery) != std::string::npos || e.initials.find(latinQuery) != std::string::npos ||
           (!e.fullV.empty() && e.fullV.find(latinQuery) != std::string::npos);
}

const PinyinIndex::Entry& PinyinIndex::Of(const std::string& gbkName) {
    const auto found = names_.find(gbkName);
    if (found != names_.end()) return found->second;
    return names_.emplace(gbkName, Build(gbkName)).first->second;
}

// Letters of a transliteration, lower case, with "u" and with "v" for ü;
// anything else (a blank, "·") ends a word and starts the next.
PinyinIndex::Entry PinyinIndex::FromText(const QString& latin, const QString& latinV) const {
    Entry e;
    auto letters = [](const QString& s, std::string* full, std::string* initials) {
        bool inWord = false;
        for (QChar c : s) {
            const char16_t u = c.unicode();
            const bool letter = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
            if (!letter) {
                inWord = false;
                continue;
            }
            const char lower = char(u >= u'a' ? u : u - u'A' + u'a');
            full->push_back(lower);
            if (!inWord && initials) initials->push_back(lower);
            inWord = true;
        }
    };
    letters(latin, &e.full, &e.initials);
    letters(latinV, &e.fullV, nullptr);
    if (e.fullV == e.full) e.fullV.clear();
    return e;
}

PinyinIndex::Entry PinyinIndex::Transliterated(const QString& name) {
    if (!icu_->han) return FromText(name, name);
    const QString marked = icu_->Run(*icu_->han, name);
    QString withV = marked;
    for (QChar& c : withV)
        if (IsUUmlaut(c)) c = u'v';
    return FromText(icu_->Run(*icu_->ascii, marked), icu_->Run(*icu_->ascii, withV));
}

const PinyinIndex::Reading& PinyinIndex::CharReading(unsigned code, bool startsName) {
    std::vector<int>& table = startsName ? startSlot_ : innerSlot_;
    if (table[code] >= 0) return readings_[std::size_t(table[code])];
    if (!startsName && !icu_->surnames.count(code)) {
        // Read the same inside a name as at its start: one reading for both.
        const Reading& r = CharReading(code, true);
        table[code] = startSlot_[code];
        return r;
    }
    const char bytes[2] = {char(code > 0xFF ? code >> 8 : code), char(code & 0xFF)};
    const QString one = icu_->gbk.decode(QByteArrayView(bytes, code > 0xFF ? 2 : 1));
    Reading r;
    // A byte pair that is no GBK character reads as nothing, like a blank.
    if (one.size() == 1 && one[0] != QChar::ReplacementCharacter) {
        if (startsName || !IsHanCode(code)) {
            const Entry e = Transliterated(one);
            r.u = e.full;
            r.v = e.fullV.empty() ? e.full : e.fullV;
        } else {
            // Read after 一, whose own reading is then taken off again.
            const Entry e = Transliterated(QStringLiteral("一") + one);
            auto strip = [this](const std::string& s) {
                return s.rfind(icu_->yiLetters, 0) == 0 ? s.substr(icu_->yiLetters.size()) : s;
            };
            r.u = strip(e.full);
            r.v = strip(e.fullV.empty() ? e.full : e.fullV);
        }
    }
    table[code] = int(readings_.size());
    readings_.push_back(std::move(r));
    return readings_.back();
}

bool PinyinIndex::IsHanCode(unsigned code) {
    if (han_[code] < 0) {
        const char bytes[2] = {char(code > 0xFF ? code >> 8 : code), char(code & 0xFF)};
        const QString one = icu_->gbk.decode(QByteArrayView(bytes, code > 0xFF ? 2 : 1));
        han_[code] = one.size() == 1 && IsHan(one[0].unicode()) ? 1 : 0;
    }
    return han_[code] == 1;
}

// Whether the name holds, on a character boundary, a pair that ICU reads together.
bool PinyinIndex::HasContextPair(const std::string& gbkName) const {
    for (const std::string& pair : icu_->pairs) {
        for (std::size_t i = 0; i + pair.size() <= gbkName.size();) {
            if (gbkName.compare(i, pair.size(), pair) == 0) return true;
            const auto c = static_cast<unsigned char>(gbkName[i]);
            i += (c >= 0x81 && c <= 0xFE) ? 2 : 1;
        }
    }
    return false;
}

PinyinIndex::Entry PinyinIndex::Build(const std::string& gbkName) {
    if (!icu_->han || HasContextPair(gbkName))
        return Transliterated(icu_->gbk.decode(QByteArrayView(gbkName.data(), qsizetype(gbkName.size()))));
    Entry e;
    bool inWord = false, afterHan = false;
    for (std::size_t i = 0; i < gbkName.size();) {
        const auto c = static_cast<unsigned char>(gbkName[i]);
        if (c < 0x80) {
            ++i;
            afterHan = false;
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
                inWord = false;
                continue;
            }
            const char lower = char(c | 0x20);
            if (!inWord) e.initials.push_back(lower);
            e.full.push_back(lower);
            e.fullV.push_back(lower);
            inWord = true;
            continue;
        }
        // A lead byte takes its trail byte; 0x80, 0xFF and a lead byte at the end stand alone.
        const bool pair = c >= 0x81 && c <= 0xFE && i + 1 < gbkName.size();
        const unsigned code = pair ? (c << 8 | static_cast<unsigned char>(gbkName[i + 1])) : c;
        i += pair ? 2 : 1;
        // ICU gives a Han character its reading as a surname when no Han
        // character stands before it: at the start, or after "·" or a blank.
        const bool han = IsHanCode(code);
        const Reading& r = CharReading(code, !han || !afterHan);
        afterHan = han;
        if (r.u.empty()) {
            inWord = false;
            continue;
        }
        if (han || !inWord) e.initials.push_back(r.u[0]);
        e.full += r.u;
        e.fullV += r.v;
        inWord = !han; // a Han character is a word of its own
    }
    if (e.fullV == e.full) e.fullV.clear();
    return e;
}
