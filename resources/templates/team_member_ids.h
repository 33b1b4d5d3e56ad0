// Control ids of the team-member page (template 174).
#pragma once

#include "people_list_ids.h"

namespace ids::member {
using namespace people_list;
enum : int {
    Template = 174,
    StaffNo = 1075,
    Name = 1049,
    Sex = 1185,
    Nation = 1184,
    IdNumber = 1040,
    Marital = 1183,
    BirthYear = 1045,
    BirthMonth = 1046,
    BirthDay = 1047,
    Department = 1083,
    Level = 1080,
    JoinYear = 1059,
    JoinMonth = 1060,
    JoinDay = 1061,
    Mobile = 1182,
    Email = 1181,
    HomePhone = 1179,
    HomeAddress = 1178,
    HomePostcode = 1177,
    Height = 1175,
    Weight = 1176,
    Hobby = 1174,
    Remarks = 1042,
    List = 1173,
};
} // namespace ids::member
