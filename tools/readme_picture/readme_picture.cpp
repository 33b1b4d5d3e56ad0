// Draws the README's pictures of the main window: the real window with every
// page, over a small made-up book in a temporary folder, on Qt's offscreen
// platform, at a fixed date and time so that a picture only changes when the
// look does. The first shows the policy list, the second (when asked for) the
// reminder page with the renewal premiums of the coming month, the third the
// import dialog with a small client list checked, the fourth the client file
// of a mother whose own life is uncovered.
//
//   vantorel_readme_picture OUT.png [REMINDERS.png [IMPORT.png [CLIENTFILE.png]]]
#include "agent/gbk.h"
#include "app/agent_app.h"
#include "app/main_dlg.h"
#include "app/message_box.h"
#include "app/page.h"
#include "pages/import/import_dlg.h"
#include "pages/page_registry.h"
#include "pages/people/client_file_page.h"
#include "records/data_files.h"
#include "resources/templates/client_file_ids.h"
#include "resources/templates/import_ids.h"
#include "resources/templates/main_ids.h"
#include "resources/templates/query_ids.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

namespace {

struct SamplePolicy {
    const char* no;
    const char* company;
    const char* product;
    double sum;
    double premium;
    const char* method;
    const char* effective;
    const char* holder;
    const char* mobile;
    const char* holderBirth;
    const char* insured;
    const char* holderId;
    const char* insuredId;
    const char* insuredBirth;
};

// Premiums due on 18 March 2026 (the picture's today) and in the month after
// it. Sums insured in 万元, as the form's label says.
const SamplePolicy kPolicies[] = {
    {"P2024001", "中国人寿", "国寿福终身寿险", 50, 12800, "年缴", "2024/3-20", "王建国", "13901234567", "1975/6-2",
     "王建国", "110105197506023517", "110105197506023517", "1975/6-2"},
    {"P2024002", "平安人寿", "平安福重大疾病保险", 30, 8650, "月缴", "2024/5-8", "李秀英", "13812345678", "1982/11-20",
     "张子涵", "110108198211204426", "110108201504021238", "2015/4-2"},
    {"P2024003", "太平洋人寿", "金佑人生年金保险", 20, 20000, "季缴", "2024/9-30", "陈志强", "13698765432", "1968/1-30",
     "陈志强", "310104196801302851", "310104196801302851", "1968/1-30"},
    {"P2025001", "新华人寿", "健康无忧医疗保险", 100, 1560, "半年缴", "2025/10-12", "刘芳", "13587654321", "1990/4-18",
     "刘芳", "440106199004183325", "440106199004183325", "1990/4-18"},
    {"P2025002", "泰康人寿", "泰康尊享教育金", 15, 6000, "年缴", "2025/3-18", "赵敏", "13776543210", "1986/8-9",
     "赵一诺", "330106198608094520", "330106201906150023", "2019/6-15"},
};

void WriteSampleBook(const QString& dir) {
    vantorel::DataBook book;
    for (const SamplePolicy& s : kPolicies) {
        vantorel::PolicyRecord p;
        p.info.policyNo = s.no;
        p.info.company = ToGbk(QString::fromUtf8(s.company));
        p.info.productName = ToGbk(QString::fromUtf8(s.product));
        p.info.sumInsured = s.sum;
        p.info.annualPremium = s.premium;
        p.info.effectiveDate = s.effective;
        p.info.paymentMethod = ToGbk(QString::fromUtf8(s.method));
        p.info.paymentYears = "20";
        p.holder.name = ToGbk(QString::fromUtf8(s.holder));
        p.holder.mobile = s.mobile;
        p.holder.birthDate = s.holderBirth;
        p.holder.idNumber = s.holderId;
        p.insured.name = ToGbk(QString::fromUtf8(s.insured));
        p.insured.idNumber = s.insuredId;
        p.insured.birthDate = s.insuredBirth;
        // The child's policy names the father as beneficiary and carries a hospital rider.
        if (p.info.policyNo == "P2024002") {
            vantorel::BeneficiaryRecord father;
            father.name = ToGbk(QStringLiteral("张伟"));
            father.idNumber = "110108198003151213";
            father.birthDate = "1980/3-15";
            father.share = 100;
            p.beneficiaries.push_back(father);
            vantorel::RiderRecord rider = p.info;
            rider.policyNo = "P2024002-1";
            rider.productName = ToGbk(QStringLiteral("附加住院医疗保险"));
            rider.sumInsured = 2;
            rider.annualPremium = 420;
            p.riders.push_back(rider);
            p.holder.sex = 1;
            p.insured.sex = 1;
            p.holder.homeAddress = ToGbk(QStringLiteral("北京市海淀区中关村大街27号"));
            p.holder.occupation = ToGbk(QStringLiteral("会计"));
        }
        book.insurance.Add(std::move(p));
    }
    vantorel::PotClientRecord c;
    c.person.name = ToGbk(QStringLiteral("孙丽"));
    c.person.birthDate = "1988/2-14";
    book.clients.Add(std::move(c));
    vantorel::MemberRecord m;
    m.staffNo = "1001";
    m.person.name = ToGbk(QStringLiteral("周明"));
    m.level = ToGbk(QStringLiteral("主任"));
    book.members.Add(std::move(m));
    book.calendar.Add({20260318, ToGbk(QStringLiteral("拜访王建国，商谈续保"))});
    for (const auto& r : vantorel::SaveAll(book, dir.toStdString()))
        if (r.outcome == vantorel::SaveOutcome::failed)
            std::fprintf(stderr, "could not write %s: %s\n", r.file.c_str(), r.reason.c_str());
}

// A client list as an agent keeps it in a spreadsheet program: its own
// headers, one client the book has, one twice, one birthday mistyped.
QString WriteClientList(const QString& dir) {
    const QString path = dir + QStringLiteral("/客户名单.csv");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(QStringLiteral("\uFEFF序号,客户姓名,性别,身份证号码,手机号码,生日,地址\r\n"
                           "1,孙丽,女,,13512345678,1988-02-14,北京市朝阳区建国路 88 号\r\n"
                           "2,周建华,男,110105198003150017,13601112222,1980-03-15,北京市海淀区中关村大街 1 号\r\n"
                           "3,吴佳,F,110105199207080026,13703334444,1992年7月8日,北京市东城区东直门内大街 5 号\r\n"
                           "4,郑伟,M,110105197511300035,13804445555,1975/11/30,北京市西城区金融街 9 号\r\n"
                           "5,冯雪,女,110105198812120048,13905556666,下周二,北京市丰台区丽泽路 16 号\r\n"
                           "6,周建华,男,110105198003150017,13601112222,1980-03-15,北京市海淀区中关村大街 1 号\r\n")
                .toUtf8());
    return path;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr, "usage: %s OUT.png [REMINDERS.png [IMPORT.png [CLIENTFILE.png]]]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings, data;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    CAgentApp app(argc, argv);
    // Today's reminders would open boxes; the picture shows the window alone.
    msg::SetResponder([](msg::Kind, const QString&, msg::Default) { return false; });
    WriteSampleBook(data.path());

    CMainDlg dlg(data.path().toStdString(), AllPageFactories());
    dlg.SetClock([] { return QDateTime(QDate(2026, 3, 18), QTime(9, 30, 0)); });
    dlg.Initialise();
    dlg.show();
    auto* tree = dlg.findChild<QTreeWidget*>(QString::number(ids::main_window::Tree));
    auto select = [tree](const QString& node) {
        const auto found = tree->findItems(node, Qt::MatchExactly | Qt::MatchRecursive);
        if (!found.isEmpty()) tree->setCurrentItem(found.first());
    };
    auto draw = [&dlg](const char* file) {
        QApplication::processEvents();
        const bool saved = dlg.grab().save(QString::fromLocal8Bit(file));
        if (!saved) std::fprintf(stderr, "could not write %s\n", file);
        return saved;
    };
    // The policy list, with every policy shown.
    select(QStringLiteral("查询保单资料"));
    if (CPage* query = dlg.Page(ids::query::Template))
        if (auto* all = query->findChild<QAbstractButton*>(QString::number(ids::query::ShowAll))) all->click();
    bool saved = draw(argv[1]);
    // The reminder page: the switches and the premiums due in the coming month.
    if (argc >= 3) {
        select(QStringLiteral("其它提醒"));
        saved = draw(argv[2]) && saved;
    }
    // The import dialog over the window, the client list checked.
    if (argc >= 4) {
        CImportDlg import(&dlg, &dlg);
        import.show();
        import.findChild<QComboBox*>(QString::number(ids::import::Kind))->setCurrentIndex(1);
        import.OpenFile(WriteClientList(data.path()));
        import.Check();
        QApplication::processEvents();
        const bool drawn = import.grab().save(QString::fromLocal8Bit(argv[3]));
        if (!drawn) std::fprintf(stderr, "could not write %s\n", argv[3]);
        saved = drawn && saved;
    }
    // The client file: 李秀英, who insures her daughter and has no cover of her own.
    if (argc == 5) {
        select(QStringLiteral("客户档案"));
        if (auto* file = dynamic_cast<CClientFilePage*>(dlg.Page(ids::client_file::Template))) {
            QEventLoop loop;
            QObject::connect(file, &CClientFilePage::listReady, &loop, &QEventLoop::quit);
            if (!file->Index()) loop.exec();
            for (int p = 0; p < file->Index()->Count(); ++p)
                if (clients::PersonIndex::Texts(dlg.Book(), file->Index()->Shown(p)).idNumber == "110108198211204426")
                    file->OpenPerson(p);
        }
        saved = draw(argv[4]) && saved;
    }
    // Leave without the shutdown sequence: the temporary book needs no saving.
    std::fflush(stdout);
    std::_Exit(saved ? 0 : 1);
}
