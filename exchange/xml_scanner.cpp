#include "xml_scanner.h"

#include <charconv>
#include <cstring>

namespace vantorel::exchange {

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kMaxToken = 64u << 20;
constexpr std::size_t kMaxDepth = 256;
constexpr std::size_t kMaxName = 1024;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// One look-up per byte in the loops every byte of a sheet passes.
struct ByteClasses {
    bool name[256] = {};
    bool tagStop[256] = {}; // what ends the plain run inside a tag: > " ' <
    constexpr ByteClasses() {
        for (int c = 0; c < 256; ++c)
            name[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                      c == ':' || c == '-' || c == '.' || c >= 0x80;
        tagStop[int('>')] = tagStop[int('"')] = tagStop[int('\'')] = tagStop[int('<')] = true;
    }
};
constexpr ByteClasses kClasses;

bool IsNameChar(char c) { return kClasses.name[static_cast<unsigned char>(c)]; }

std::string_view Local(std::string_view qualified) {
    for (std::size_t i = 0; i < qualified.size(); ++i)
        if (qualified[i] == ':') return qualified.substr(i + 1);
    return qualified;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

bool XmlScanner::Fill(std::size_t need) {
    // Keeps the unread bytes and appends more until `need` of them are there.
    if (pos_ > 0) {
        buf_.erase(0, pos_);
        pos_ = 0;
    }
    while (buf_.size() < need && !eof_) {
        const std::size_t at = buf_.size();
        buf_.resize(at + kChunk);
        const qint64 got = in_.read(buf_.data() + at, qint64(kChunk));
        buf_.resize(at + std::size_t(got > 0 ? got : 0));
        if (got <= 0)
            eof_ = true;
        else
            consumed_ += got;
    }
    return buf_.size() >= need;
}

// Entities and character references resolved; false on one that is not XML.
bool XmlScanner::Resolve(std::string_view raw, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < raw.size();) {
        const char c = raw[i];
        if (c == '\r') { // line ends as XML reads them
            out += '\n';
            i += (i + 1 < raw.size() && raw[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        if (c != '&') {
            out += c;
            ++i;
            continue;
        }
        const std::size_t semi = raw.find(';', i);
        if (semi == std::string_view::npos || semi - i > 12) return false;
        const std::string_view e = raw.substr(i + 1, semi - i - 1);
        if (e == "amp")
            out += '&';
        else if (e == "lt")
            out += '<';
        else if (e == "gt")
            out += '>';
        else if (e == "quot")
            out += '"';
        else if (e == "apos")
            out += '\'';
        else if (e.size() > 1 && e[0] == '#') {
            const bool hex = e[1] == 'x';
            const std::string_view digits = e.substr(hex ? 2 : 1);
            std::uint32_t v = 0;
            const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v, hex ? 16 : 10);
            if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size() || v == 0 ||
                v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
                return false;
            AppendUtf8(out, char32_t(v));
        } else {
            return false;
        }
        i = semi + 1;
    }
    return true;
}

void XmlScanner::SplitAttributes() {
    attrList_.clear();
    attrsSplit_ = true;
    std::string_view a = attrs_;
    while (!a.empty()) {
        std::size_t i = 0;
        while (i < a.size() && IsSpace(a[i])) ++i;
        if (i == a.size()) return;
        const std::size_t nameStart = i;
        while (i < a.size() && IsNameChar(a[i])) ++i;
        const std::string_view n = a.substr(nameStart, i - nameStart);
        while (i < a.size() && IsSpace(a[i])) ++i;
        if (n.empty() || i >= a.size() || a[i] != '=') return;
        ++i;
        while (i < a.size() && IsSpace(a[i])) ++i;
        if (i >= a.size() || (a[i] != '"' && a[i] != '\'')) return;
        const char quote = a[i++];
        const std::size_t end = a.find(quote, i);
        if (end == std::string_view::npos) return;
        attrList_.emplace_back(n, a.substr(i, end - i));
        a = a.substr(end + 1);
    }
}

std::string_view XmlScanner::Attribute(std::string_view name) {
    if (!attrsSplit_) SplitAttributes();
    for (const auto& [n, value] : attrList_) {
        if (n != name) continue;
        if (value.find('&') == std::string_view::npos) return value;
        return Resolve(value, attrValue_) ? std::string_view(attrValue_) : std::string_view();
    }
    return {};
}

XmlScanner::Token XmlScanner::Next() {
    if (last_ == error || last_ == done) return last_;
    if (pendingEnd_) {
        pendingEnd_ = false;
        return last_ = endElement;
    }
    if (pos_ >= buf_.size() && !Fill(1)) {
        // The end: whole only when the root element was opened and closed.
        return last_ = (seenRoot_ && nameEnds_.empty()) ? done : error;
    }
    if (buf_[pos_] != '<') {
        std::size_t lt = buf_.find('<', pos_);
        while (lt == std::string::npos && !eof_) {
            if (buf_.size() - pos_ > kMaxToken) return Fail();
            Fill(buf_.size() - pos_ + kChunk);
            lt = buf_.find('<', pos_);
        }
        if (lt == std::string::npos) lt = buf_.size();
        const std::string_view raw(buf_.data() + pos_, lt - pos_);
        pos_ = lt;
        if (nameEnds_.empty()) {
            // Outside the root only blanks may stand, and a byte order mark at the very start.
            std::string_view rest = raw;
            if (consumed_ - qint64(buf_.size()) + qint64(lt) == qint64(raw.size()) &&
                rest.substr(0, 3) == "\xEF\xBB\xBF")
                rest.remove_prefix(3);
            for (char c : rest)
                if (!IsSpace(c)) return Fail();
            return Next();
        }
        if (raw.find('&') == std::string_view::npos && raw.find('\r') == std::string_view::npos) {
            text_ = raw;
        } else {
            if (!Resolve(raw, resolved_)) return Fail();
            text_ = resolved_;
        }
        return last_ = text;
    }
    return Tag();
}

XmlScanner::Token XmlScanner::Tag() {
    // The whole tag in the buffer: up to its '>' outside quotes (or the end of a comment, CDATA, PI).
    auto findEnd = [this](std::size_t from, std::string_view close) -> std::size_t {
        std::size_t at = buf_.find(close, from);
        while (at == std::string::npos && !eof_) {
            if (buf_.size() - pos_ > kMaxToken) return std::string::npos;
            const std::size_t consumed = pos_;
            Fill(buf_.size() - pos_ + kChunk);
            from -= consumed;
            at = buf_.find(close, from);
        }
        return at;
    };
    if (buf_.size() - pos_ < 9) Fill(buf_.size() - pos_ + 9);
    const std::string_view head(buf_.data() + pos_, std::min<std::size_t>(9, buf_.size() - pos_));
    if (head.substr(0, 4) == "<!--") {
        const std::size_t end = findEnd(pos_ + 4, "-->");
        if (end == std::string::npos) return Fail();
        pos_ = end + 3;
        return Next();
    }
    if (head.substr(0, 2) == "<?") {
        const std::size_t end = findEnd(pos_ + 2, "?>");
        if (end == std::string::npos) return Fail();
        pos_ = end + 2;
        return Next();
    }
    if (head == "<![CDATA[") {
        if (nameEnds_.empty()) return Fail();
        const std::size_t end = findEnd(pos_ + 9, "]]>");
        if (end == std::string::npos) return Fail();
        resolved_.assign(buf_, pos_ + 9, end - pos_ - 9);
        pos_ = end + 3;
        text_ = resolved_;
        return last_ = text;
    }
    if (head.substr(0, 2) == "<!") return Fail(); // a DOCTYPE, or worse

    // An element's tag: up to the first '>' that is not inside a quoted
    // attribute value. Offsets count from pos_, which a refill moves.
    std::size_t at = 1;
    for (;;) {
        const char* p = buf_.data() + pos_ + at;
        const char* end = buf_.data() + buf_.size();
        while (p < end && !kClasses.tagStop[static_cast<unsigned char>(*p)]) ++p;
        if (p < end && *p == '<') return Fail();
        if (p < end && *p != '>') {
            // A quoted value: its other quote, wherever it is.
            const void* close = std::memchr(p + 1, *p, std::size_t(end - p - 1));
            if (close) {
                const char* q = static_cast<const char*>(close);
                if (std::memchr(p + 1, '<', std::size_t(q - p - 1))) return Fail();
                at = std::size_t(q + 1 - (buf_.data() + pos_));
                continue;
            }
        } else if (p < end) {
            at = std::size_t(p - (buf_.data() + pos_));
            break;
        }
        // Out of bytes inside the tag: more, from where this scan began.
        if (eof_ || buf_.size() - pos_ > kMaxToken) return Fail();
        Fill(buf_.size() - pos_ + kChunk);
    }
    const std::size_t i = pos_ + at;
    std::string_view tag(buf_.data() + pos_ + 1, i - pos_ - 1);
    pos_ = i + 1;
    const bool closing = !tag.empty() && tag[0] == '/';
    const bool empty = !closing && !tag.empty() && tag.back() == '/';
    if (closing) tag.remove_prefix(1);
    if (empty) tag.remove_suffix(1);
    std::size_t n = 0;
    while (n < tag.size() && IsNameChar(tag[n])) ++n;
    // The open elements' names are kept: none longer than any real one.
    if (n == 0 || n > kMaxName) return Fail();
    const std::string_view qualified = tag.substr(0, n);
    attrs_ = tag.substr(n);
    attrsSplit_ = false;
    if (!attrs_.empty() && !IsSpace(attrs_[0])) return Fail();

    if (closing) {
        for (char c : attrs_)
            if (!IsSpace(c)) return Fail();
        if (nameEnds_.empty()) return Fail();
        const std::size_t start = nameEnds_.size() > 1 ? nameEnds_[nameEnds_.size() - 2] : 0;
        if (std::string_view(names_).substr(start) != qualified) return Fail();
        nameEnds_.pop_back();
        names_.resize(start);
        name_ = Local(qualified);
        return last_ = endElement;
    }
    if (nameEnds_.empty() && seenRoot_) return Fail(); // a second root
    if (nameEnds_.size() >= kMaxDepth) return Fail();
    seenRoot_ = true;
    name_ = Local(qualified);
    if (empty) {
        pendingEnd_ = true; // an element with nothing inside it: closed at once
        return last_ = startElement;
    }
    names_.append(qualified);
    nameEnds_.push_back(names_.size());
    return last_ = startElement;
}

} // namespace vantorel::exchange
