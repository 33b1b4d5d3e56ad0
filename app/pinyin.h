// Finding people by the pinyin of their names: "zs", "zhangs" and
// "ZhangSan" all find 张三, "wang" finds "Wang Lei". The pinyin comes from
// ICU's Han-Latin transliteration with its surname readings
// ("Han-Latin/Names": 单 as a surname is shan, 曾 zeng, 解 xie), folded to
// plain lower-case letters.
//
// Transliterating a name costs tens of microseconds, so the index keeps the
// pinyin of every name it has seen, and builds a new name's pinyin from the
// readings of its characters, each looked up in ICU once. Where ICU reads a
// character by the one after it (长孙, 万俟), the whole name goes to ICU.
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <unordered_map>

class PinyinIndex {
public:
    PinyinIndex();
    ~PinyinIndex();
    PinyinIndex(const PinyinIndex&) = delete;
    PinyinIndex& operator=(const PinyinIndex&) = delete;

    struct Entry {
        std::string full;     // "zhangsan", "lulei" for 吕磊, "wanglei" for "Wang Lei"
        std::string initials; // "zs", "ll", "wl"
        std::string fullV;    // with "v" for ü ("lvlei"), empty when the same as full
    };
    // The pinyin of a name given as GBK bytes.
    const Entry& Of(const std::string& gbkName);

    // A search text that asks for pinyin: Latin letters only (blanks between
    // them are ignored), as lower-case letters; empty for any other text.
    static std::string LatinQuery(const QString& text);
    // Whether the name's full pinyin or its initials contain `latinQuery`
    // (as LatinQuery gives it).
    bool Matches(const std::string& gbkName, const std::string& latinQuery);

    std::size_t CachedNames() const { return names_.size(); }

    // The whole name through ICU, without the per-character readings: what
    // Of() must agree with.
    Entry Transliterated(const QString& name);

private:
    struct Icu;
    struct Reading {
        std::string u, v; // letters with "u" and with "v" for ü
    };
    const Reading& CharReading(char32_t c, bool startsName);
    Entry Build(const QString& name);
    bool HasContextPair(const QString& name) const;
    Entry FromText(const QString& latin, const QString& latinV) const;

    std::unique_ptr<Icu> icu_;
    std::unordered_map<std::string, Entry> names_;
    std::unordered_map<char32_t, Reading> startReadings_, innerReadings_;
};
