#include "exchange/xml_scanner.h"

#include <gtest/gtest.h>

#include <QBuffer>

using vantorel::exchange::XmlScanner;

namespace {

// Every token as a line: "<name a=value>", "</name>", "'text'", and "error" or "done" at the end.
std::string Tokens(const QByteArray& xml, const char* attribute = "a") {
    QBuffer in;
    in.setData(xml);
    in.open(QIODevice::ReadOnly);
    XmlScanner x(in);
    std::string out;
    for (;;) {
        switch (x.Next()) {
        case XmlScanner::startElement:
            out += "<" + std::string(x.Name());
            if (!x.Attribute(attribute).empty())
                out += " " + std::string(attribute) + "=" + std::string(x.Attribute(attribute));
            out += ">";
            break;
        case XmlScanner::endElement: out += "</" + std::string(x.Name()) + ">"; break;
        case XmlScanner::text: out += "'" + std::string(x.Text()) + "'"; break;
        case XmlScanner::done: return out + "done";
        case XmlScanner::error: return out + "error";
        }
    }
}

TEST(XmlScanner, ReadsWhatSheetsHold) {
    EXPECT_EQ(
        Tokens(
            "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- c --><x:r a='1>2' b=\"&quot;\"><c a=\"&lt;&amp;&#x41;&#66;\"/>"
            "<t>a &amp; b&#13;&#x4E2D;</t><t><![CDATA[<not a tag> &amp;]]></t><?pi x?></x:r>\n"),
        "<r a=1>2><c a=<&AB></c><t>'a & b\r中'</t><t>'<not a tag> &amp;'</t></r>done");
    EXPECT_EQ(Tokens("<r>\r\nx\ry</r>"), "<r>'\nx\ny'</r>done") << "line ends as XML reads them";
    // A token across the 1 MiB chunks the scanner reads.
    const QByteArray big(1500000, 'z');
    const std::string tokens = Tokens("<r>" + QByteArray(1048570, ' ') + "<c a=\"" + big + "\"/></r>");
    EXPECT_EQ(tokens, "<r>'" + std::string(1048570, ' ') + "'<c a=" + big.toStdString() + "></c></r>done");
}

TEST(XmlScanner, RefusesWhatIsNotWholeXml) {
    for (const char* bad : {"<r>", "<r></s>", "<r><c></r></c>", "<!DOCTYPE r [<!ENTITY e \"x\">]><r>&e;</r>",
                            "<r>&bogus;</r>", "<r>&#0;</r>", "<r>&#xD800;</r>", "<r/><r/>", "x<r/>", "<r a=\"1></r>",
                            "<r><</r>", "</r>", "", "<r><!-- open</r>", "<r><![CDATA[x</r>"})
        EXPECT_EQ(Tokens(bad).substr(Tokens(bad).size() - 5), "error") << bad;
    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "<a>";
    EXPECT_NE(Tokens(QByteArray::fromStdString(deep)).find("error"), std::string::npos);
}

} // namespace
