#pragma once
// The rules that turn a two-digit year into a full year. Each rule is used where
// its callers say; never inline a year pivot elsewhere.

// Window of the text-to-date conversions (StrToDate): two-digit years fall into the
// 100 years starting at current year - TwoDigitYearCenturyWindow. 0 turns the window
// off (the current century is used). Default 50.
extern int TwoDigitYearCenturyWindow;

// The window a table sets when it opens: |CurrentYear - Epoch| mod 100.
int TableCenturyWindow(int CurrentYear, int Epoch);
// Year (0..99) read under a century window: the window's century base added,
// plus 100 when that falls before the base (and the window is not 0).
int CenturyWindowYear(int Year, int CurrentYear, int Window);
// Year (0..99) placed in [Epoch, Epoch + 99]: how tables store dates before year 100.
int EpochWindowYear(int Year, int Epoch);
// The data-aware controls' rule: EpochWindowYear with Epoch 0 meaning 1950.
int DataAwareTwoDigitYear(int Year, int Epoch = 1950);
// The date edits' rule: 00..20 are 2000..2020, 21..99 are 1921..1999.
int DateEditTwoDigitYear(int Year);
// Reformatting a typed date to "mm-dd-yyyy": 61..99 are 1961..1999, 00..60 are 2000..2060.
int DashedDateTextTwoDigitYear(int Year);
// Reformatting a typed date to "mm/dd/yyyy": always 2000..2099.
int SlashedDateTextTwoDigitYear(int Year);
