// GBK through ICU's converter of that name: the very table the program's Qt
// uses for its GBK codec, so the tool reads and writes whatever the program
// stores (GBK's user-defined areas as Unicode's Private Use Area, 0x80 as the
// euro sign) and refuses what it refuses. Nothing is ever substituted.
#include "text_encoding.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>

namespace vantorel::tool {

namespace {

// ICU's own "stop" callback lets characters such as the soft hyphen vanish
// silently when the table has no place for them; the program refuses them,
// and so does the tool: stop at every unmappable character.
extern "C" void StopAtEvery(const void*, UConverterFromUnicodeArgs*, const UChar*, int32_t, UChar32,
                            UConverterCallbackReason, UErrorCode*) {}

struct CloseConverter {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// One converter for the whole run, set to stop at the first character it cannot map.
UConverter& Gbk() {
    static const std::unique_ptr<UConverter, CloseConverter> converter = [] {
        UErrorCode ec = U_ZERO_ERROR;
        std::unique_ptr<UConverter, CloseConverter> c(ucnv_open("GBK", &ec));
        if (U_SUCCESS(ec)) ucnv_setToUCallBack(c.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &ec);
        if (U_SUCCESS(ec)) ucnv_setFromUCallBack(c.get(), StopAtEvery, nullptr, nullptr, nullptr, &ec);
        if (U_FAILURE(ec)) throw TextError(std::string("this system cannot convert GBK: ") + u_errorName(ec));
        return c;
    }();
    return *converter;
}

// UTF-8 bytes that `units` UTF-16 code units of `text` take.
std::size_t Utf8Length(const std::u16string& text, std::size_t units) {
    int32_t length = 0;
    UErrorCode ec = U_ZERO_ERROR;
    u_strToUTF8(nullptr, 0, &length, text.data(), static_cast<int32_t>(units), &ec);
    return static_cast<std::size_t>(length);
}

std::string ToUtf8(const std::u16string& text) {
    int32_t length = 0;
    UErrorCode ec = U_ZERO_ERROR;
    u_strToUTF8(nullptr, 0, &length, text.data(), static_cast<int32_t>(text.size()), &ec);
    std::string out(static_cast<std::size_t>(length), '\0');
    ec = U_ZERO_ERROR;
    u_strToUTF8(out.data(), length, nullptr, text.data(), static_cast<int32_t>(text.size()), &ec);
    if (U_FAILURE(ec)) throw TextError(std::string("cannot write UTF-8: ") + u_errorName(ec));
    return out;
}

} // namespace

std::string GbkToUtf8(const std::string& gbk) {
    UConverter& c = Gbk();
    ucnv_resetToUnicode(&c);
    // One GBK byte or two make one UTF-16 unit.
    std::u16string text(gbk.size() + 1, u'\0');
    UChar* target = reinterpret_cast<UChar*>(text.data());
    const char* source = gbk.data();
    UErrorCode ec = U_ZERO_ERROR;
    ucnv_toUnicode(&c, &target, target + text.size(), &source, gbk.data() + gbk.size(), nullptr, true, &ec);
    if (U_FAILURE(ec)) {
        char bad[8];
        int8_t badLength = sizeof bad;
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidChars(&c, bad, &badLength, &ignored);
        const std::size_t at = static_cast<std::size_t>(source - gbk.data()) - static_cast<std::size_t>(badLength);
        throw TextError((ec == U_TRUNCATED_CHAR_FOUND ? "text ends inside a character at byte "
                                                      : "cannot convert the character at byte ") +
                        std::to_string(at) + " from GBK to UTF-8");
    }
    text.resize(static_cast<std::size_t>(target - reinterpret_cast<UChar*>(text.data())));
    return ToUtf8(text);
}

std::string Utf8ToGbk(const std::string& utf8) {
    int32_t units = 0;
    UErrorCode ec = U_ZERO_ERROR;
    u_strFromUTF8(nullptr, 0, &units, utf8.data(), static_cast<int32_t>(utf8.size()), &ec);
    if (ec != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(ec)) throw TextError("text is not valid UTF-8");
    std::u16string text(static_cast<std::size_t>(units), u'\0');
    ec = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(text.data()), units, nullptr, utf8.data(), static_cast<int32_t>(utf8.size()),
                  &ec);
    if (U_FAILURE(ec)) throw TextError("text is not valid UTF-8");

    UConverter& c = Gbk();
    ucnv_resetFromUnicode(&c);
    // At most two GBK bytes per UTF-16 unit.
    std::string out(text.size() * 2 + 1, '\0');
    char* target = out.data();
    const UChar* start = reinterpret_cast<const UChar*>(text.data());
    const UChar* source = start;
    ucnv_fromUnicode(&c, &target, out.data() + out.size(), &source, start + text.size(), nullptr, true, &ec);
    if (U_FAILURE(ec)) {
        UChar bad[4];
        int8_t badLength = 4;
        UErrorCode ignored = U_ZERO_ERROR;
        ucnv_getInvalidUChars(&c, bad, &badLength, &ignored);
        const std::size_t unit = static_cast<std::size_t>(source - start) - static_cast<std::size_t>(badLength);
        throw TextError("cannot convert the character at byte " + std::to_string(Utf8Length(text, unit)) +
                        " from UTF-8 to GBK");
    }
    out.resize(static_cast<std::size_t>(target - out.data()));
    return out;
}

} // namespace vantorel::tool
