// A streaming reader of the two large parts of a workbook, the sheet and its
// shared strings, over their UTF-8 bytes as they are unpacked. Qt's
// QXmlStreamReader reads our own export's 430 MB sheet of 100 000 policies at
// about 44 MB/s, over three times the whole read's budget; this one only does
// what those parts need: elements (names without their prefix), attributes,
// text with the five entities, character references and CDATA; comments and
// processing instructions skipped. A DOCTYPE is refused (no entity can grow a
// small part large), and so is an end tag that does not close the open
// element, a token past 64 MiB, a name past 1 KiB, nesting past 256 levels, or
// a document cut short.
// The small parts (workbook, relationships, styles) still go through Qt.
#pragma once

#include <QIODevice>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantorel::exchange {

class XmlScanner {
public:
    enum Token { startElement, endElement, text, done, error };

    explicit XmlScanner(QIODevice& in) : in_(in) {}

    // The next token; `error` and `done` repeat once reached. An empty
    // element (<c/>) gives a start and then an end.
    Token Next();

    // The element's name without its prefix (start and end).
    std::string_view Name() const { return name_; }
    // An attribute of the start element, entities resolved; empty when absent.
    std::string_view Attribute(std::string_view name);
    // The text (with entities resolved; CDATA as it is), UTF-8.
    std::string_view Text() const { return text_; }
    // How many bytes have been read from the device.
    qint64 Consumed() const { return consumed_; }

private:
    bool Fill(std::size_t need);
    Token Fail() { return last_ = error; }
    Token Tag();
    bool Resolve(std::string_view raw, std::string& out);
    void SplitAttributes();

    QIODevice& in_;
    std::string buf_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    qint64 consumed_ = 0;
    Token last_ = text;
    bool pendingEnd_ = false; // after an empty element's start
    bool seenRoot_ = false;

    std::string_view name_, text_, attrs_;
    bool attrsSplit_ = false;
    std::vector<std::pair<std::string_view, std::string_view>> attrList_;
    std::string resolved_, attrValue_;
    std::string names_;                 // the open elements' names, one after another
    std::vector<std::size_t> nameEnds_; // where each ends in names_
};

} // namespace vantorel::exchange
