#include "pinyin.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <unicode/translit.h>
#include <unicode/uscript.h>

#include <algorithm>
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
bool IsUUmlaut(QChar c) {
    switch (c.unicode()) {
    case 0x00FC: case 0x00DC: case 0x01D6: case 0x01D5: case 0x01D8:
    case 0x01D7: case 0x01DA: case 0x01D9: case 0x01DC: case 0x01DB: return true;
    default: return false;
    }
}

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
    std::string yiLetters; // "yi": 一 is put before a character to read it inside a name
    // Characters that ICU reads by the one after them (长孙 zhangsun, 万俟 moqi): "长孙", ...
    std::vector<QString> pairs;
    QStringDecoder gbk{"GBK", QStringConverter::Flag::Stateless};

    QString Run(icu::Transliterator& t, const QString& s) {
        icu::UnicodeString u = ToIcu(s);
        t.transliterate(u);
        return FromIcu(u);
    }
};

PinyinIndex::PinyinIndex() : icu_(std::make_unique<Icu>()) {
    UErrorCode ec = U_ZERO_ERROR;
    icu_->han.reset(icu::Transliterator::createInstance("Han-Latin/Names", UTRANS_FORWARD, ec));
    if (U_FAILURE(ec)) icu_->han.reset();
    ec = U_ZERO_ERROR;
    icu_->ascii.reset(icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, ec));
    if (U_FAILURE(ec)) icu_->ascii.reset();
    if (!icu_->han || !icu_->ascii) { // without ICU's data only Latin names have pinyin
        icu_->han.reset();
        return;
    }
    icu_->yiLetters = Transliterated(QStringLiteral("一")).full;
    // Rules such as "{长}' '?孙 > zhǎng;": the reading depends on the next character.
    QString rules;
    CollectRules(*icu_->han, rules);
    static const QRegularExpression pair(QStringLiteral("\\{(.)\\}' '\\?(.)\\s*>"));
    for (auto it = pair.globalMatch(rules); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        icu_->pairs.push_back(m.captured(1) + m.captured(2));
    }
}

PinyinIndex::~PinyinIndex() = default;

std::string PinyinIndex::LatinQuery(const QString& text) {
    std::string q;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u' ') continue;
        if (u >= u'A' && u <= u'Z') q.push_back(char(u - u'A' + 'a'));
        else if (u >= u'a' && u <= u'z') q.push_back(char(u));
        else return {};
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
    const QString name = icu_->gbk.decode(QByteArrayView(gbkName.data(), qsizetype(gbkName.size())));
    return names_.emplace(gbkName, Build(name)).first->second;
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

const PinyinIndex::Reading& PinyinIndex::CharReading(char32_t c, bool startsName) {
    auto& cache = startsName ? startReadings_ : innerReadings_;
    const auto found = cache.find(c);
    if (found != cache.end()) return found->second;
    const QString one = QString::fromUcs4(&c, 1);
    Reading r;
    if (startsName) {
        const Entry e = Transliterated(one);
        r = {e.full, e.fullV.empty() ? e.full : e.fullV};
    } else {
        // Read after 一, whose own reading is then taken off again.
        const Entry e = Transliterated(QStringLiteral("一") + one);
        auto strip = [this](const std::string& s) {
            return s.rfind(icu_->yiLetters, 0) == 0 ? s.substr(icu_->yiLetters.size()) : s;
        };
        r = {strip(e.full), strip(e.fullV.empty() ? e.full : e.fullV)};
    }
    return cache.emplace(c, std::move(r)).first->second;
}

bool PinyinIndex::HasContextPair(const QString& name) const {
    for (const QString& p : icu_->pairs)
        if (name.contains(p)) return true;
    return false;
}

PinyinIndex::Entry PinyinIndex::Build(const QString& name) {
    if (!icu_->han || HasContextPair(name)) return Transliterated(name);
    Entry e;
    bool inWord = false, afterHan = false;
    auto add = [&](const Reading& r, bool ownWord) {
        if (r.u.empty()) {
            inWord = false;
            return;
        }
        if (ownWord || !inWord) e.initials.push_back(r.u[0]);
        e.full += r.u;
        e.fullV += r.v;
        inWord = !ownWord;
    };
    for (char32_t c : name.toUcs4()) {
        if (c < 0x80) {
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            const std::string l = letter ? std::string(1, char(c | 0x20)) : std::string();
            add(Reading{l, l}, false);
            afterHan = false;
            continue;
        }
        const bool han = IsHan(c);
        // ICU gives a Han character its reading as a surname when no Han
        // character stands before it: at the start, or after "·" or a blank.
        add(CharReading(c, !han || !afterHan), han);
        afterHan = han;
    }
    if (e.fullV == e.full) e.fullV.clear();
    return e;
}
