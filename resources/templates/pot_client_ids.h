// Control ids of the potential-client page (template 140).
#pragma once

#include "people_list_ids.h"

namespace ids::client {
using namespace people_list;
enum : int {
    Template = 140,
    Name = 1055,
    Sex = 1057,
    IdNumber = 1062,
    Nation = 1058,
    Marital = 1063,
    BirthYear = 1064,
    BirthMonth = 1065,
    BirthDay = 1066,
    Mobile = 1071,
    Email = 1072,
    HomePhone = 1067,
    WorkPhone = 1068,
    Fax = 1076,
    HomeAddress = 1069,
    HomePostcode = 1073,
    WorkAddress = 1070,
    WorkPostcode = 1074,
    Occupation = 1078,
    Income = 1123,
    Height = 1102,
    Weight = 1103,
    Hobby = 1087,
    Education = 1187,
    Remarks = 1056,
    List = 1140,
};
} // namespace ids::client
