// Control ids of the statistics page (template 180).
#pragma once

namespace ids::statistics {
enum : int {
    Template = 180,
    // The tally buttons, by collection and attribute.
    PolicyPayment = 1208,
    PolicyProduct = 1210,
    PolicyBenefit = 1211,
    HolderSex = 1206,
    HolderMarital = 1209,
    HolderEducation = 1213,
    HolderIncome = 1215,
    InsuredSex = 1207,
    InsuredMarital = 1212,
    InsuredEducation = 1214,
    InsuredIncome = 1216,
    ClientSex = 1217,
    ClientMarital = 1218,
    ClientEducation = 1219,
    ClientIncome = 1220,
    List = 1221,
    Chart = 1222, // the bar chart below the list, made by the page
};
} // namespace ids::statistics
