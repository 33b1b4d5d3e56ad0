#include "sample_book.h"

#include "records/data_files.h"

#include <unicode/ucnv.h>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <vector>

namespace bench {

namespace {

// The word lists are written here in UTF-8; ICU's GBK converter is the one
// Qt uses in the program.
std::string Gbk(const std::string& utf8) {
    std::string out(utf8.size() * 2 + 4, '\0');
    UErrorCode ec = U_ZERO_ERROR;
    const int32_t n =
        ucnv_convert("GBK", "UTF-8", out.data(), int32_t(out.size()), utf8.data(), int32_t(utf8.size()), &ec);
    if (U_FAILURE(ec)) throw std::runtime_error("no GBK for a word of the sample book");
    out.resize(std::size_t(n));
    return out;
}

std::vector<std::string> GbkList(std::initializer_list<const char*> items) {
    std::vector<std::string> v;
    for (const char* s : items) v.push_back(Gbk(s));
    return v;
}

class Maker {
public:
    Maker()
        : surnames_(GbkList({"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                             "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "欧阳"})),
          given_(GbkList({"伟", "芳", "娜", "敏", "静", "丽", "强", "磊",   "军", "洋",
                          "勇", "艳", "杰", "娟", "涛", "明", "超", "秀英", "华", "建国"})),
          cities_(GbkList({"北京市朝阳区", "上海市浦东新区", "广州市天河区", "深圳市南山区", "杭州市西湖区",
                           "成都市武侯区", "南京市鼓楼区"})),
          streets_(GbkList({"建国路", "人民路", "中山路", "解放路", "长江路", "和平街"})),
          companies_(GbkList({"中国人寿", "平安人寿", "太平洋人寿", "新华人寿", "泰康人寿"})),
          products_(GbkList({"鸿福终身寿险", "康宁定期寿险", "少儿教育金", "重大疾病保险", "意外伤害保险"})),
          payments_(GbkList({"年缴", "趸缴", "半年缴", "月缴"})),
          educations_(GbkList({"本科", "大专", "高中", "硕士", "初中"})),
          occupations_(GbkList({"教师", "工程师", "医生", "会计", "销售", "公务员"})),
          relations_(GbkList({"本人", "配偶", "子女", "父母"})),
          incomes_(GbkList({"3万以下", "3-5万", "5-10万", "10万以上"})),
          hobbies_(GbkList({"读书", "游泳", "旅游", "摄影", "下棋"})),
          departments_(GbkList({"销售一部", "销售二部", "培训部"})), levels_(GbkList({"业务员", "主任", "经理"})),
          events_(GbkList({"拜访客户", "续期收费", "理赔回访", "部门例会", "生日问候"})), nation_(Gbk("汉族")),
          benefit_(Gbk("一次性领取")), life_(Gbk("终身")), unit_(Gbk("号")), room_(Gbk("室")) {}

    const std::string& Pick(const std::vector<std::string>& v) { return v[rng_() % v.size()]; }
    int Between(int lo, int hi) { return lo + static_cast<int>(rng_() % static_cast<unsigned>(hi - lo + 1)); }
    std::string Digits(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s.push_back(static_cast<char>('0' + rng_() % 10));
        return s;
    }
    std::string Name() { return Pick(surnames_) + Pick(given_) + (rng_() % 2 ? Pick(given_) : std::string()); }
    std::string Date(int y0, int y1) {
        return std::to_string(Between(y0, y1)) + "/" + std::to_string(Between(1, 12)) + "-" +
               std::to_string(Between(1, 28));
    }
    std::string Address() {
        return Pick(cities_) + Pick(streets_) + std::to_string(Between(1, 999)) + unit_ +
               std::to_string(Between(1, 30)) + "0" + std::to_string(Between(1, 9)) + room_;
    }

    template <class P> void FillPerson(P& p) {
        p.name = Name();
        p.sex = static_cast<std::int16_t>(Between(0, 1));
        p.nation = nation_;
        p.idNumber = "11010" + Digits(13);
        p.maritalStatus = static_cast<std::int16_t>(Between(-1, 4));
        p.birthDate = Date(1940, 2010);
        p.mobile = "13" + Digits(9);
        p.email = "user" + Digits(6) + "@example.com";
        p.occupation = Pick(occupations_);
        p.annualIncome = Pick(incomes_);
        p.homePhone = "010-" + Digits(8);
        p.homeAddress = Address();
        p.homePostcode = Digits(6);
        p.workPhone = "010-" + Digits(8);
        p.workAddress = Address();
        p.remarks = rng_() % 4 ? std::string() : Pick(hobbies_);
        p.education = Pick(educations_);
    }

    vantorel::PolicyInfo Info(int i) {
        vantorel::PolicyInfo r;
        r.policyNo = std::string("P").append(std::to_string(20040000 + i));
        r.company = Pick(companies_);
        r.paymentMethod = Pick(payments_);
        r.sumInsured = Between(1, 100);
        r.annualPremium = Between(500, 20000) + 0.5;
        r.effectiveDate = Date(1998, 2004);
        r.applicationNo = std::string("T").append(Digits(10));
        r.productName = Pick(products_);
        r.paymentYears = std::to_string(Between(5, 30));
        r.coverageYears = life_;
        r.benefitMethod = benefit_;
        r.benefitAge = "60";
        r.liabilityStartDate = r.effectiveDate;
        return r;
    }

    vantorel::PolicyRecord Policy(int i) {
        vantorel::PolicyRecord r;
        r.info = Info(i);
        FillPerson(r.holder);
        r.holder.workPostcode = Digits(6);
        r.holder.relationToInsured = Pick(relations_);
        FillPerson(r.insured);
        r.insured.workPostcode = Digits(6);
        r.insured.height = Between(150, 190);
        r.insured.weight = Between(45, 90);
        for (int b = 0; b < 2; ++b) {
            vantorel::BeneficiaryRecord e;
            e.name = Name();
            e.sex = static_cast<std::int16_t>(Between(0, 1));
            e.idNumber = "11010" + Digits(13);
            e.birthDate = Date(1950, 2010);
            e.relationToInsured = Pick(relations_);
            e.share = 50;
            r.beneficiaries.push_back(std::move(e));
        }
        r.riders.push_back(Info(i));
        r.riders.back().policyNo += "-1";
        return r;
    }

    vantorel::PotClientRecord Client() {
        vantorel::PotClientRecord r;
        FillPerson(r.person);
        r.person.height = Between(150, 190);
        r.person.weight = Between(45, 90);
        r.fax = "010-" + Digits(8);
        r.hobby = Pick(hobbies_);
        return r;
    }

    vantorel::MemberRecord Member(int i) {
        vantorel::MemberRecord r;
        FillPerson(r.person);
        r.person.occupation.clear();
        r.person.annualIncome.clear();
        r.person.workPhone.clear();
        r.person.workAddress.clear();
        r.person.education.clear();
        r.staffNo = std::string("S").append(std::to_string(10000 + i));
        r.department = Pick(departments_);
        r.level = Pick(levels_);
        r.joinDate = Date(1995, 2004);
        r.hobby = Pick(hobbies_);
        return r;
    }

    vantorel::ScheduleEntry Entry() {
        return {static_cast<double>(Between(2003, 2005) * 10000 + Between(1, 12) * 100 + Between(1, 28)),
                Pick(events_) + Name()};
    }

private:
    std::mt19937 rng_{20040529};
    std::vector<std::string> surnames_, given_, cities_, streets_, companies_, products_, payments_, educations_,
        occupations_, relations_, incomes_, hobbies_, departments_, levels_, events_;
    std::string nation_, benefit_, life_, unit_, room_;
};

// A plain output file for the archive.
class OutFile : public vantorel::CFile {
public:
    explicit OutFile(const std::filesystem::path& p) : f_(std::fopen(p.c_str(), "wb")) {}
    ~OutFile() override {
        if (f_) std::fclose(f_);
    }
    bool Ok() const { return f_ != nullptr; }
    bool Close() {
        const bool ok = f_ && std::fclose(f_) == 0;
        f_ = nullptr;
        return ok;
    }
    std::size_t Read(void*, std::size_t) override { return 0; }
    void Write(const void* buf, std::size_t n) override {
        if (std::fwrite(buf, 1, n, f_) != n) throw vantorel::FileError("write failed");
    }
    std::uint64_t GetLength() const override { return 0; }

private:
    std::FILE* f_;
};

// A collection's file: the count, then each record as `make(i)` gives it.
template <class Make> bool WriteFile(const std::filesystem::path& path, int count, Make make) {
    OutFile out(path);
    if (!out.Ok()) return false;
    try {
        vantorel::CArchive ar(out, vantorel::CArchive::store);
        ar << static_cast<std::int32_t>(count);
        vantorel::ArchiveWriter w{ar};
        for (int i = 0; i < count; ++i) {
            auto record = make(i);
            VisitFields(w, record);
        }
        ar.Close();
    } catch (const vantorel::FileError&) {
        return false;
    }
    return out.Close();
}

} // namespace

bool WriteBook(const std::filesystem::path& dir, const BookSize& size) {
    std::filesystem::create_directories(dir);
    Maker m;
    const auto& names = vantorel::kDataFileNames;
    return WriteFile(dir / names[0], size.policies, [&](int i) { return m.Policy(i); }) &&
           WriteFile(dir / names[1], size.clients, [&](int) { return m.Client(); }) &&
           WriteFile(dir / names[2], size.members, [&](int i) { return m.Member(i); }) &&
           WriteFile(dir / names[3], size.schedule, [&](int) { return m.Entry(); });
}

} // namespace bench
