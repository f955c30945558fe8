#pragma once
// Form 1096, the annual summary and transmittal of the client's paper 1099
// forms of one type (1099-INT when the 1096 contact data says so, 1099-MISC
// otherwise): payer, contact person, identification numbers, the number of
// forms and the totals of that type's recipients, and the form type's check box.

#include <cstdint>
#include <functional>

#include "platform/rtl/types.h"

class TDataSet;

// What the 1096 reports of the recipients of its form type.
struct T1096Totals {
    int Forms = 0;
    std::int64_t WithheldCents = 0;  // FWT
    std::int64_t AmountCents = 0;    // TOTAMT
};

// Counts and sums, in whole cents, the records of Recipients from the first to
// the end whose income type is of the transmitted form (Interest: "I"; otherwise
// any other); Step runs after each record.
T1096Totals Sum1096Recipients(TDataSet& Recipients, bool Interest, const std::function<void()>& Step);

// On the pre-printed red form: always PCL, no form image, every box shifted by
// the user's print adjustment.
void Print1096Red();
// The payer's file copy on plain paper, with the form's image.
void Print1096File();
