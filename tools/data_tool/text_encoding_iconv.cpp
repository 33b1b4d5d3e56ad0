#include "text_encoding.h"

#include <cerrno>
#include <iconv.h>

namespace vantorel::tool {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)), from_(from), to_(to) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw TextError(std::string("this system cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::string operator()(const std::string& in) {
        std::string out;
        out.resize(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        std::size_t done = 0;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (srcLeft > 0) {
            char* dst = out.data() + done;
            std::size_t dstLeft = out.size() - done;
            const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            done = out.size() - dstLeft;
            if (r != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            const std::size_t at = in.size() - srcLeft;
            throw TextError((errno == EINVAL ? "text ends inside a character at byte " : "cannot convert the character at byte ") +
                            std::to_string(at) + " from " + from_ + " to " + to_);
        }
        out.resize(done);
        return out;
    }

private:
    iconv_t cd_;
    std::string from_, to_;
};

} // namespace

std::string GbkToUtf8(const std::string& gbk) {
    static Converter c("UTF-8", "GBK");
    return c(gbk);
}

std::string Utf8ToGbk(const std::string& utf8) {
    static Converter c("GBK", "UTF-8");
    return c(utf8);
}

} // namespace vantorel::tool
