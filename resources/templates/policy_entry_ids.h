// Control ids of the policy entry page (template 136), with the policy-data
// fields it shares with the riders dialog.
#pragma once

namespace ids::policy_info {
enum : int {
    PolicyNo = 1040,
    Company = 1041,
    Remarks = 1042,
    PaymentMethod = 1043,
    SumInsured = 1044,
    EffectiveYear = 1045,
    EffectiveMonth = 1046,
    EffectiveDay = 1047,
    ApplicationNo = 1048,
    ProductName = 1049,
    PaymentYears = 1050,
    CoverageYears = 1051,
    BenefitMethod = 1052,
    AnnualPremium = 1053,
    BenefitAge = 1054,
    LiabilityYear = 1059,
    LiabilityMonth = 1060,
    LiabilityDay = 1061,
};
} // namespace ids::policy_info

namespace ids::entry {
using namespace policy_info;
enum : int {
    Template = 136,
    Beneficiaries = 1105, // "受益人"
    Riders = 1106,        // "附加险"
    Relation = 1104,      // the policyholder's relation to the insured
    Height = 1102,        // the insured's
    Weight = 1103,
    AddOrModify = 1019,
    Previous = 1021, // "上一记录", modify mode only
    Next = 1022,     // "下一记录", modify mode only
    Report = 1020,
};

// The two person blocks.
namespace holder {
enum : int {
    Name = 1055,
    Sex = 1057,
    Nation = 1058,
    IdNumber = 1062,
    Marital = 1063,
    BirthYear = 1064,
    BirthMonth = 1065,
    BirthDay = 1066,
    Education = 1186,
    Mobile = 1071,
    Email = 1072,
    Occupation = 1109,
    Income = 1121,
    HomePhone = 1067,
    WorkPhone = 1068,
    HomeAddress = 1069,
    HomePostcode = 1073,
    WorkAddress = 1070,
    WorkPostcode = 1074,
    Remarks = 1056,
};
} // namespace holder
namespace insured {
enum : int {
    Name = 1075,
    Sex = 1077,
    Nation = 1079,
    IdNumber = 1088,
    Marital = 1089,
    BirthYear = 1090,
    BirthMonth = 1091,
    BirthDay = 1092,
    Education = 1187,
    Mobile = 1093,
    Email = 1094,
    Occupation = 1111,
    Income = 1123,
    HomePhone = 1095,
    WorkPhone = 1096,
    HomeAddress = 1097,
    HomePostcode = 1098,
    WorkAddress = 1099,
    WorkPostcode = 1100,
    Remarks = 1101,
};
} // namespace insured
} // namespace ids::entry
