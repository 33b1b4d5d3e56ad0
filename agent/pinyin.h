// Finding people by the pinyin of their names: "zs", "zhangs" and
// "ZhangSan" all find 张三, "wang" finds "Wang Lei". The pinyin comes from
// ICU's Han-Latin transliteration with its surname readings
// ("Han-Latin/Names": 单 as a surname is shan, 曾 zeng, 解 xie), folded to
// plain lower-case letters.
//
// Transliterating a name costs tens of microseconds, so the index keeps the
// pinyin of every name it has seen, and builds a new name's pinyin from the
// readings of its characters, each looked up in ICU once (as the first
// character of a name, where ICU reads surnames, and inside one). Where ICU
// reads a character by the one after it (长孙, 万俟), the whole name goes to ICU.
#pragma once

#include <QString>
#include <deque>
#include <future>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class PinyinIndex {
public:
    PinyinIndex();
    ~PinyinIndex();
    PinyinIndex(const PinyinIndex&) = delete;
    PinyinIndex& operator=(const PinyinIndex&) = delete;

    // Starts opening ICU's transliterators in the background, so that the
    // first pinyin search does not wait for them; the next index made takes them.
    static void Prepare();

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
    static std::unique_ptr<Icu> MakeIcu();
    static std::future<std::unique_ptr<Icu>>& Prepared();
    struct Reading {
        std::string u, v; // letters with "u" and with "v" for ü
    };
    // A character by its GBK code: the byte itself below 0x100, lead byte
    // times 256 plus trail byte above.
    const Reading& CharReading(unsigned code, bool startsName);
    bool IsHanCode(unsigned code);
    Entry Build(const std::string& gbkName);
    bool HasContextPair(const std::string& gbkName) const;
    Entry FromText(const QString& latin, const QString& latinV) const;

    std::unique_ptr<Icu> icu_;
    std::unordered_map<std::string, Entry> names_;
    // Indexes into readings_ by GBK code, -1 until read; a plain table, as a
    // name's characters are looked up on every first search.
    std::vector<int> startSlot_, innerSlot_;
    std::deque<Reading> readings_; // a reading stays where it is while more are added
    std::vector<signed char> han_; // 1 a Han character, 0 not, -1 not yet known
};
