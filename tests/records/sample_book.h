// A small book with every kind of value, long texts included, for the
// damaged-file and storage tests.
#pragma once

#include "records/data_files.h"
#include "storage_kit.h"

namespace testkit {

inline vantorel::PolicyRecord SamplePolicy(int i, int beneficiaries, int riders) {
    vantorel::PolicyRecord r;
    r.info.policyNo = "P" + std::to_string(i);
    r.info.company = kBeijing;
    r.info.sumInsured = 50 + i;
    r.info.remarks = std::string(static_cast<std::size_t>(i * 150), 'r'); // 1- and 3-byte prefixes
    r.holder.name = kZhangSan;
    r.holder.sex = 1;
    r.holder.maritalStatus = -1;
    r.insured.name = kZhangSan + std::to_string(i);
    r.insured.height = 170.5;
    r.insured.education = kBenKe;
    for (int b = 0; b < beneficiaries; ++b) {
        vantorel::BeneficiaryRecord e;
        e.name = "b" + std::to_string(b);
        e.share = 10;
        r.beneficiaries.push_back(e);
    }
    for (int k = 0; k < riders; ++k) {
        vantorel::RiderRecord e;
        e.policyNo = "R" + std::to_string(k);
        e.sumInsured = k;
        r.riders.push_back(e);
    }
    return r;
}

inline void FillSampleBook(vantorel::DataBook& book) {
    book.insurance.Add(SamplePolicy(0, 0, 0));
    book.insurance.Add(SamplePolicy(1, 2, 1));
    book.insurance.Add(SamplePolicy(2, 10, 10));
    auto big = SamplePolicy(3, 1, 0);
    big.holder.homeAddress = std::string(5000, 'a'); // longer than the archive buffer
    book.insurance.Add(big);
    for (int i = 0; i < 3; ++i) {
        vantorel::PotClientRecord c;
        c.person.name = kZhangSan + std::to_string(i);
        c.person.idNumber = std::to_string(1000 + i);
        c.person.education = kBenKe;
        c.fax = "fax";
        book.clients.Add(c);
        vantorel::MemberRecord m;
        m.staffNo = "S" + std::to_string(i);
        m.person.name = kZhangSan;
        m.person.weight = 60;
        m.hobby = std::string(260, 'h');
        book.members.Add(m);
    }
    book.calendar.Add({20040529, "ab"});
    book.calendar.Add({20041231, kBeijing});
    book.calendar.Add({20041231, ""});
}

} // namespace testkit
