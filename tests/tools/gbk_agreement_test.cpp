// The data tool converts GBK without Qt; whatever the program accepts and
// stores, the tool must read and write the same way. Checked over every one-
// and two-byte GBK sequence and every character of the Basic Multilingual Plane.
#include "tools/data_tool/text_encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <gtest/gtest.h>

using vantorel::tool::GbkToUtf8;
using vantorel::tool::TextError;
using vantorel::tool::Utf8ToGbk;

namespace {

// The program's conversions (app/gbk.cpp), with their error flags.
bool ProgramDecodes(const std::string& gbk, std::string& utf8) {
    QStringDecoder d("GBK", QStringConverter::Flag::Stateless);
    const QString s = d.decode(QByteArrayView(gbk.data(), qsizetype(gbk.size())));
    utf8 = s.toStdString();
    return !d.hasError();
}

bool ProgramEncodes(const QString& text, std::string& gbk) {
    QStringEncoder e("GBK", QStringConverter::Flag::Stateless);
    const QByteArray b = e.encode(text);
    gbk.assign(b.constData(), std::size_t(b.size()));
    return !e.hasError();
}

template <class F> bool ToolConverts(F f, const std::string& in, std::string& out) {
    try {
        out = f(in);
        return true;
    } catch (const TextError&) {
        return false;
    }
}

} // namespace

TEST(GbkAgreement, TheToolReadsEveryGbkSequenceAsTheProgramDoes) {
    std::vector<std::string> sequences;
    for (int a = 1; a < 256; ++a) sequences.push_back(std::string(1, char(a)));
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) sequences.push_back({char(lead), char(trail)});
    int accepted = 0, disagree = 0;
    for (const std::string& s : sequences) {
        std::string program, tool, back;
        const bool p = ProgramDecodes(s, program), t = ToolConverts(GbkToUtf8, s, tool);
        if (p != t || (p && program != tool)) {
            if (++disagree <= 10)
                ADD_FAILURE() << "sequence " << std::hex << int((unsigned char)s[0]) << " "
                              << (s.size() > 1 ? int((unsigned char)s[1]) : 0) << ": program " << p << ", tool " << t;
            continue;
        }
        if (!p) continue;
        ++accepted;
        // Whatever is read is written back to the same bytes.
        ASSERT_TRUE(ToolConverts(Utf8ToGbk, tool, back));
        EXPECT_EQ(back, s);
    }
    EXPECT_EQ(disagree, 0);
    EXPECT_GT(accepted, 24000);
}

TEST(GbkAgreement, TheToolStoresEveryCharacterAsTheProgramDoesAndRefusesTheSameOnes) {
    int stored = 0, disagree = 0;
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000) continue;
        const QString text = QString::fromUcs4(&c, 1);
        std::string program, tool;
        const bool p = ProgramEncodes(text, program), t = ToolConverts(Utf8ToGbk, text.toStdString(), tool);
        if (p != t || (p && program != tool)) {
            if (++disagree <= 10)
                ADD_FAILURE() << "U+" << std::hex << unsigned(c) << ": program " << p << ", tool " << t;
            continue;
        }
        stored += p;
    }
    EXPECT_EQ(disagree, 0);
    EXPECT_GT(stored, 24000);
    // Beyond the plane the program stores nothing; neither does the tool.
    std::string out;
    EXPECT_FALSE(ToolConverts(Utf8ToGbk, "\xF0\x9F\x98\x80", out));
}
