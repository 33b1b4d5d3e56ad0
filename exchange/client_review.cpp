#include "client_review.h"

#include "agent/composed_date.h"
#include "agent/premium_due.h"
#include "exchange/write_failure.h"

#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

using namespace clients;

namespace {

// A gap in the cover grid: tinted, so that it shows on paper too.
constexpr const char* kGapColour = "#F6D8CE";
constexpr const char* kHeadColour = "#E1E1EB";

QString E(const QString& s) { return s.toHtmlEscaped(); }

QString Date(const QDate& d) { return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString(); }

// A row of cells; the columns in `wrap` may break their text over lines, the
// others (numbers, dates) never do.
QString Row(const QStringList& cells, bool head = false, const QList<int>& wrap = {}) {
    QString r = QStringLiteral("<tr>");
    for (int i = 0; i < cells.size(); ++i) {
        const QString nowrap = wrap.contains(i) ? QString() : QStringLiteral(" nowrap");
        r += head ? QStringLiteral("<th bgcolor=\"%1\">%2</th>").arg(QLatin1String(kHeadColour), E(cells[i]))
                  : QStringLiteral("<td%1>%2</td>").arg(nowrap, E(cells[i]));
    }
    return r + QStringLiteral("</tr>");
}

// `widths`, when given, are the columns' shares of the width in percent.
QString Table(const QStringList& headers, const std::vector<QStringList>& rows, const QList<int>& wrap,
              const QList<int>& widths = {}) {
    QString t = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
    if (widths.isEmpty()) {
        t += Row(headers, true);
    } else {
        t += QStringLiteral("<tr>");
        for (int i = 0; i < headers.size(); ++i)
            t += QStringLiteral("<th bgcolor=\"%1\" width=\"%2%\">%3</th>")
                     .arg(QLatin1String(kHeadColour))
                     .arg(widths.value(i))
                     .arg(E(headers[i]));
        t += QStringLiteral("</tr>");
    }
    for (const QStringList& r : rows) t += Row(r, false, wrap);
    return t + QStringLiteral("</table>");
}

QString Heading(const QString& text) { return QStringLiteral("<h3>%1</h3>").arg(E(text)); }

QString PersonalTable(const ClientFile& f) {
    const PersonalData& d = f.data;
    const std::vector<QStringList> rows = {
        {QStringLiteral("姓名"), f.names.join(QStringLiteral(" / ")), QStringLiteral("性别"), d.sex},
        {QStringLiteral("身份证号"), d.idNumber, QStringLiteral("出生日期"), ComposedDate(d.birthDate).ListText()},
        {QStringLiteral("手机"), d.mobile, QStringLiteral("家庭电话"), d.homePhone},
        {QStringLiteral("单位电话"), d.workPhone, QStringLiteral("职业"), d.occupation},
        {QStringLiteral("家庭地址"), d.homeAddress, QStringLiteral("角色"), RolesText(f.roles)},
    };
    QString t = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
    for (const QStringList& r : rows) t += Row(r, false, {1, 3});
    return t + QStringLiteral("</table>");
}

QString GridTable(const ClientFile& f) {
    QString t = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
    QStringList head = {QStringLiteral("类别")};
    for (const CoverColumn& c : f.grid) head << c.name;
    t += Row(head, true);
    for (std::size_t k = 0; k < cover::kCategories; ++k) {
        t += QStringLiteral("<tr><td>%1</td>").arg(E(cover::Name(k)));
        for (const CoverColumn& c : f.grid) {
            const QString cell = CoverCell(c, cover::Category(k));
            t += c.held[k] ? QStringLiteral("<td align=\"right\">%1</td>").arg(E(cell))
                           : QStringLiteral("<td align=\"center\" bgcolor=\"%1\">%2</td>")
                                 .arg(QLatin1String(kGapColour), E(cell));
        }
        t += QStringLiteral("</tr>");
    }
    return t + QStringLiteral("</table>");
}

} // namespace

std::unique_ptr<QTextDocument> ReviewDocument(const ClientFile& f) {
    QString html = QStringLiteral("<html><body>");
    html += QStringLiteral("<h1 align=\"center\">保单检视报告</h1>");
    html += QStringLiteral("<p align=\"center\">客户：%1　　检视日期：%2</p>")
                .arg(E(f.names.join(QStringLiteral(" / "))), E(f.today.toString(QStringLiteral("yyyy年M月d日"))));

    html += Heading(QStringLiteral("个人资料"));
    html += PersonalTable(f);
    if (f.names.size() > 1)
        html += QStringLiteral("<p>姓名不一致：同一身份证号记有 %1，请核对。</p>")
                    .arg(E(f.names.join(QStringLiteral("、"))));
    html += QStringLiteral("<p>资料来源：%1</p>").arg(E(f.data.source));

    html += Heading(QStringLiteral("保单（保险金额单位：万元）"));
    std::vector<QStringList> policies;
    for (const PolicyLine& l : f.policies)
        policies.push_back({l.policyNo, RolesText(l.roles), l.company,
                            (l.rider ? QStringLiteral("（附加）") : QString()) + l.product, cover::Name(l.category),
                            SumText(l.sumInsured), premium::Amount(l.annualPremium), l.effectiveDate, Date(l.nextDue)});
    html += policies.empty()
                ? QStringLiteral("<p>没有保单。</p>")
                : Table({QStringLiteral("保险单号"), QStringLiteral("角色"), QStringLiteral("保险公司"),
                         QStringLiteral("险种名称"), QStringLiteral("类别"), QStringLiteral("保险金额(万元)"),
                         QStringLiteral("年缴保费(元)"), QStringLiteral("生效日期"), QStringLiteral("下次缴费日")},
                        policies, {1, 2, 3}, {10, 12, 10, 16, 6, 10, 10, 12, 14});

    html += Heading(QStringLiteral("合计"));
    QStringList own;
    for (std::size_t k = 0; k < cover::kCategories; ++k)
        own << cover::Name(k) + QLatin1Char(' ') + CoverCell(f.own, cover::Category(k));
    html += QStringLiteral("<p>作为投保人的年缴保费（含附加险）：%1 元<br/>作为被保险人的保险金额（万元）：%2</p>")
                .arg(premium::Amount(f.premiumAsHolder), E(own.join(QStringLiteral("，"))));

    html += Heading(QStringLiteral("家庭保障一览（保险金额，万元；“—”为缺口）"));
    html += GridTable(f);
    html += QStringLiteral("<p>类别按险种名称中的关键字依次判断：%1</p>").arg(E(cover::KeywordTableText()));

    if (!f.linked.empty()) {
        html += Heading(QStringLiteral("关联人"));
        std::vector<QStringList> linked;
        for (const LinkedPerson& l : f.linked) linked.push_back({l.name, l.idNumber, l.how});
        html += Table({QStringLiteral("姓名"), QStringLiteral("身份证号"), QStringLiteral("关联保单")}, linked, {2});
    }

    html += Heading(QStringLiteral("今后90天的生日与缴费"));
    std::vector<QStringList> dues;
    for (const DueLine& d : f.next90) dues.push_back({Date(d.date), d.what});
    html += dues.empty() ? QStringLiteral("<p>没有。</p>")
                         : Table({QStringLiteral("日期"), QStringLiteral("事项")}, dues, {1});
    html += QStringLiteral("</body></html>");

    auto doc = std::make_unique<QTextDocument>();
    // Chinese in the page's own face (宋体, for which the installed CJK font
    // stands in), embedded in the PDF. Latin letters and digits come from
    // DejaVu Serif: the CJK faces give digits after a letter ("P1") other
    // glyphs, which a PDF reader cannot turn back into text.
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Serif"), QStringLiteral("宋体")});
    font.setPointSizeF(9);
    doc->setDefaultFont(font);
    doc->setHtml(html);
    return doc;
}

QString ReviewFileName(const ClientFile& f) {
    QString name = f.data.name;
    for (QChar& c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('_');
    return QStringLiteral("保单检视报告-%1-%2.pdf").arg(name, f.today.toString(QStringLiteral("yyyyMMdd")));
}

vantorel::Result<void> WriteReviewPdf(const QString& path, const ClientFile& f) {
    const std::unique_ptr<QTextDocument> doc = ReviewDocument(f);
    QSaveFile file(path);
    const auto failed = [&](const QString& why) {
        file.cancelWriting();
        return vantorel::exchange::CannotWrite(path, why);
    };
    if (!file.open(QIODevice::WriteOnly)) return failed(file.errorString());
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(QStringLiteral("保单检视报告"));
        pdf.setCreator(QStringLiteral("Vantorel"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
        doc->print(&pdf);
    } // the writer finishes the file as it goes
    if (file.error() != QFileDevice::NoError) return failed(file.errorString());
    if (!file.commit()) return failed(file.errorString());
    return {};
}
